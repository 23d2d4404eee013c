// Pictures of the menus, bars and message boxes for the documentation:
// menus_gallery DIR writes DIR/menus-*.png, each a screen of the headless
// backend taken while the menu or box waits for input.
#include <cstdio>
#include <string>

#include "drive.h"
#include "menus_fixture.h"
#include "platform/backend/testing.h"
#include "platform/dialogs.h"
#include "platform/testing.h"
#include "platform/window/testing.h"

namespace {

const TBBUTTON kButtons[] = {
    {0, 110, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {1, 119, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {2, 109, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {3, 40006, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {4, 116, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {5, 117, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
};
LPCWSTR kTips[] = {nullptr, u"Previous Article", u"Choose Article", u"Next Article",
                   u"Choose Font", u"Search", u"Search Again"};

std::string g_dir;
int g_failures = 0;

void Save(const char* name) {
  std::string error, path = g_dir + "/menus-" + name + ".png";
  if (!TestSaveScreen(path, &error)) {
    std::fprintf(stderr, "menus_gallery: %s: %s\n", path.c_str(), error.c_str());
    ++g_failures;
    return;
  }
  std::printf("%s\n", path.c_str());
}

HWND Page() {
  TestResetWindowSystem();
  TestUseResources(AppResources());
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = u"Lumora";
  RegisterClassW(&wc);
  return CreateWindowExW(WS_EX_WINDOWEDGE, u"Lumora", u"Lumora", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

void AddToolbar(HWND bar) {
  CommandBar_AddToolTips(bar, 7, kTips);
  CommandBar_AddBitmap(bar, nullptr, 114, 6, 16, 16);
  CommandBar_AddButtons(bar, 6, kButtons);
  CommandBar_Show(bar, TRUE);
}

RECT ButtonOnScreen(HWND bar, int index) {
  RECT r{0, 0, 0, 0};
  SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  POINT origin{0, 0};
  ClientToScreen(bar, &origin);
  return {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

void Press(int x, int y) { TestInjectInput({InputEvent::kPress, x, y, 0, 0}); }

void MenuBar() {
  HWND main = Page();
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = main;
  info.dwFlags = SHCMBF_HIDESIPBUTTON;
  info.nToolBarId = 102;
  SHCreateMenuBar(&info);
  AddToolbar(info.hwndMB);
  HMENU go = reinterpret_cast<HMENU>(SendMessageW(info.hwndMB, SHCMBM_GETSUBMENU, 0, 40001));
  CheckMenuItem(go, 122, MF_BYCOMMAND | MF_CHECKED);
  RECT button = ButtonOnScreen(info.hwndMB, 0);
  DriveLoop({[&] { TestTap(button.left + 4, button.top + 4); },
         [] {
           // Holds the finger on "Index" so that it shows lit.
           RECT popup{};
           GetWindowRect(FindWindowW(u"MenuPopup", nullptr), &popup);
           Press(popup.left + 40, popup.top + 92);
         },
         [] { Save("menubar"); }});
}

void CommandBar() {
  HWND main = Page();
  HWND bar = CommandBar_Create(nullptr, main, 1);
  CommandBar_InsertMenubar(bar, nullptr, 102, 0);
  AddToolbar(bar);
  CommandBar_AddAdornments(bar, 0, 0);
  CheckMenuRadioItem(CommandBar_GetMenu(bar, 0), 401, 434, 412, MF_BYCOMMAND);
  RECT korvel = ButtonOnScreen(bar, 1);
  DriveLoop({[&] { TestTap(korvel.left + 4, korvel.top + 4); }, [] { Save("commandbar"); }});
}

void Tooltip() {
  HWND main = Page();
  HWND bar = CommandBar_Create(nullptr, main, 1);
  CommandBar_InsertMenubar(bar, nullptr, 102, 0);
  AddToolbar(bar);
  RECT search = ButtonOnScreen(bar, 6);
  DriveLoop({[&] {
           Press(search.left + 8, search.top + 8);
           for (int i = 0; i < 30; ++i) TestInjectInput({InputEvent::kMove, search.left + 8, search.top + 8, 0, 0});
         },
         [] { Save("tooltip"); }});
}

void Box(const char* name, const char16_t* text, const char16_t* caption, UINT flags) {
  HWND main = Page();
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = main;
  info.nToolBarId = 102;
  SHCreateMenuBar(&info);
  AddToolbar(info.hwndMB);
  TestSetIdleCallback([name] {
    Save(name);
    return false;
  });
  MessageBoxW(main, text, caption, flags);
  TestSetIdleCallback(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: menus_gallery DIR\n");
    return 2;
  }
  g_dir = argv[1];
  MenuBar();
  CommandBar();
  Tooltip();
  Box("messagebox", u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark", MB_YESNOCANCEL);
  Box("messagebox-icon", u"There is not enough memory, aborting", u"Error", MB_OK | MB_ICONSTOP);
  TestResetWindowSystem();
  return g_failures == 0 ? 0 : 1;
}
