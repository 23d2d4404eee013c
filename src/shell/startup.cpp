// Start-up, the single-instance test, the menu bar and the message loop.
#include <cstdlib>
#include <cstring>

#include "settings/checked_alloc.h"
#include "settings/settings_store.h"
#include "shell/resource_ids.h"
#include "shell/shell_state.h"

HINSTANCE ProgramInstance;
BOOL MenuBarMode;
HWND MenuBarWindow;
int MenuBarHeight;
HWND TaskbarWindow;

namespace {

const WCHAR kClassName[] = u"Lumora";
const WCHAR kTitle[] = u"Lumora";

BOOL TaskbarWasVisible;

TBBUTTON ToolbarButtons[] = {
    {0, IDM_PREVIOUS_ARTICLE, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {1, IDM_INDEX, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {2, IDM_NEXT_ARTICLE, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {3, IDM_FONT, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {4, IDM_SEARCH, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {5, IDM_SEARCH_AGAIN, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
};

// The first tip belongs to the menu, which has none.
LPCWSTR ToolbarTips[] = {nullptr,         u"Previous Article", u"Choose Article", u"Next Article",
                         u"Choose Font", u"Search",           u"Search Again"};

void ShowTaskbarAgain() {
  if (TaskbarWindow != nullptr && TaskbarWasVisible) ShowWindow(TaskbarWindow, SW_SHOW);
}

// CheckedAlloc's way out: the settings saved, the taskbar back, exit code 0.
// Settings that ran out of memory while being read are left as stored:
// saving them would write defaults over the reader's own values.
void ExitWithoutMemory() {
  if (SettingsLoaded) SaveSettings();
  ShowTaskbarAgain();
  std::exit(0);
}

void ClearProgramState() {
  ProgramInstance = nullptr;
  MainWindow = nullptr;
  MenuBarMode = FALSE;
  MenuBarWindow = nullptr;
  MenuBarHeight = 0;
  TaskbarWindow = nullptr;
  TaskbarWasVisible = FALSE;
  SettingsLoaded = FALSE;
  MainView = CommentaryView = ActiveView = nullptr;
  MainScrollBar = CommentaryScrollBar = ActiveScrollBar = nullptr;
  std::memset(&CommentaryFrame, 0, sizeof CommentaryFrame);
  CurrentArticle = 0;
}

// The top window of whatever has the foreground, or none.
HWND ForegroundTopWindow(HWND* foreground) {
  HWND window = GetForegroundWindow();
  *foreground = window;
  while (window != nullptr) {
    HWND parent = GetParent(window);
    if (parent == nullptr) break;
    window = parent;
  }
  return window;
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  ClearProgramState();
  ProgramInstance = instance;
  SetOutOfMemoryExit(ExitWithoutMemory);

  IgnoreActivate = ReadNumber(SWITCHES_KEY, u"IgnoreActivate", 0);
  FullScreen = ReadNumber(SWITCHES_KEY, u"FullScreen", 0);
  AllowSipInHebrewSearch = ReadNumber(SWITCHES_KEY, u"AllowSipInHebrewSearch", 1);
  if (FullScreen) {
    TaskbarWindow = FindWindowW(u"HHTaskBar", u"");
    if (TaskbarWindow != nullptr) TaskbarWasVisible = IsWindowVisible(TaskbarWindow);
  }
  MenuBarOnBottom = ReadNumber(SWITCHES_KEY, u"MenuBarOnBottom", 0);
  SurroundingGutter = ReadNumber(SWITCHES_KEY, u"SurroundingGutter", 0);

  if (InitInstance(show) == nullptr) return 0;

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  ShowTaskbarAgain();
  return static_cast<int>(message.wParam);
}

HWND InitInstance(int show) {
  if (HWND running = FindWindowW(kClassName, kTitle)) {
    HWND foreground = nullptr;
    HWND top = ForegroundTopWindow(&foreground);
    if (running == foreground) SendMessageW(running, WM_COMMAND, IDM_INDEX, 0);
    if (running != top) SetForegroundWindow(running);
    return nullptr;
  }
  InitCommonControls();
  if (TaskbarWindow != nullptr) ShowWindow(TaskbarWindow, SW_HIDE);
  LoadSettings();
  SetCurrentArticle(0);
  RegisterMainClass(ProgramInstance, kClassName);

  HWND window = CreateWindowExW(WS_EX_WINDOWEDGE, kClassName, kTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ProgramInstance, nullptr);
  if (window == nullptr) return nullptr;
  if (FullScreen) {
    RECT r{};
    GetWindowRect(window, &r);
    SHFullScreen(window, FULL_SCREEN_STATE);
    MoveWindow(window, r.left, 0, r.right, r.bottom, FALSE);
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  // The first start asks for a font once the font dialog exists; until then
  // the views keep the default face.
  return window;
}

void RegisterMainClass(HINSTANCE instance, LPCWSTR className) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  RegisterClassW(&wc);
}

void CreateMenuBar() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExW(&version);
  if (version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion >= 21))
    MenuBarMode = TRUE;
  else
    MenuBarMode = MenuBarOnBottom != 0;

  if (MenuBarMode) {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = MainWindow;
    info.dwFlags = SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = IDR_MAIN_MENU;
    info.hInstRes = ProgramInstance;
    MenuBarWindow = nullptr;
    MenuBarHeight = 0;  // a bar that could not be made takes no room
    if (SHCreateMenuBar(&info)) {
      MenuBarWindow = info.hwndMB;
      RECT r{};
      if (GetWindowRect(MenuBarWindow, &r)) MenuBarHeight = r.bottom - r.top;
    }
  } else {
    MenuBarWindow = CommandBar_Create(ProgramInstance, MainWindow, 1);
    MenuBarHeight = CommandBar_Height(MenuBarWindow);
    CommandBar_InsertMenubar(MenuBarWindow, ProgramInstance, IDR_MAIN_MENU, 0);
  }
  CommandBar_AddToolTips(MenuBarWindow, 7, ToolbarTips);
  CommandBar_AddBitmap(MenuBarWindow, ProgramInstance, IDB_TOOLBAR, 6, 16, 16);
  CommandBar_AddButtons(MenuBarWindow, 6, ToolbarButtons);
  if (FullScreen && !MenuBarMode) CommandBar_AddAdornments(MenuBarWindow, 0, 0);
  CommandBar_Show(MenuBarWindow, TRUE);
}
