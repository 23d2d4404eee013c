// Pictures of the controls for the documentation: controls_gallery DIR
// writes DIR/controls-*.png, each a screen of the headless backend.
#include <cstdio>
#include <string>

#include "platform/controls.h"
#include "platform/controls/dialog_template.h"
#include "platform/png.h"
#include "platform/testing.h"
#include "platform/window/testing.h"

namespace {

HWND Child(HWND parent, const char16_t* cls, const char16_t* text, DWORD style, int x, int y, int w, int h,
           int id = 0) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}

HWND Page(const char16_t* title) {
  TestResetWindowSystem();
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = u"Gallery";
  RegisterClassW(&wc);
  return CreateWindowExW(0, u"Gallery", title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

bool Save(const std::string& dir, const char* name) {
  TestPumpMessages();
  std::string error;
  std::string path = dir + "/controls-" + name + ".png";
  if (!TestSaveScreen(path, &error)) {
    std::fprintf(stderr, "controls_gallery: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

// A part of the screen four times as large, to show the marks' pixels.
bool SaveZoom(const std::string& dir, const char* name, const RECT& part) {
  constexpr int kScale = 4;
  int w = part.right - part.left, h = part.bottom - part.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, w * kScale, h * kScale);
  HGDIOBJ old = SelectObject(memory, picture);
  StretchBlt(memory, 0, 0, w * kScale, h * kScale, screen, part.left, part.top, w, h, SRCCOPY);
  SelectObject(memory, old);
  std::string error;
  std::string path = dir + "/controls-" + name + ".png";
  bool ok = SavePng(picture, path, &error);
  if (!ok) std::fprintf(stderr, "controls_gallery: %s: %s\n", path.c_str(), error.c_str());
  else std::printf("%s\n", path.c_str());
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

HFONT Font(int height) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  return CreateFontIndirectW(&lf);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: controls_gallery DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  bool ok = true;

  HWND page = Page(u"Buttons and labels");
  Child(page, u"STATIC", u"Left &label", SS_LEFT, 8, 8, 224, 16);
  Child(page, u"STATIC", u"Centred, no prefix: &x", SS_CENTER | SS_NOPREFIX, 8, 28, 224, 16);
  Child(page, u"STATIC", u"Right", SS_RIGHT, 8, 48, 224, 16);
  Child(page, u"BUTTON", u"Push", BS_PUSHBUTTON, 8, 72, 70, 24, 10);
  Child(page, u"BUTTON", u"Default", BS_DEFPUSHBUTTON, 86, 72, 70, 24, 11);
  HWND pressed = Child(page, u"BUTTON", u"Pressed", BS_PUSHBUTTON, 164, 72, 70, 24, 12);
  SendMessageW(pressed, BM_SETSTATE, TRUE, 0);
  Child(page, u"BUTTON", u"224", BS_AUTORADIOBUTTON | WS_GROUP, 8, 108, 100, 16, 1004);
  HWND radio = Child(page, u"BUTTON", u"5D0", BS_AUTORADIOBUTTON, 8, 128, 100, 16, 1005);
  SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
  HWND check = Child(page, u"BUTTON", u"Checked", BS_AUTOCHECKBOX | WS_GROUP, 120, 108, 110, 16, 20);
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  Child(page, u"BUTTON", u"Unchecked", BS_AUTOCHECKBOX, 120, 128, 110, 16, 21);
  ok &= Save(dir, "buttons");
  ok &= SaveZoom(dir, "marks", {0, 126, 240, 176});

  page = Page(u"Edits");
  HWND left = Child(page, u"EDIT", u"Left aligned", WS_BORDER | ES_AUTOHSCROLL, 8, 8, 224, 22, 1);
  HWND right = Child(page, u"EDIT", u"\u05D0\u05D1\u05D2 right", WS_BORDER | ES_RIGHT | ES_AUTOHSCROLL, 8, 40,
                     224, 22, 2);
  SetFocus(right);
  SendMessageW(right, EM_SETSEL, 1, 3);
  (void)left;
  HWND multi = Child(page, u"EDIT",
                     u"\u05EA\u05E9\u05E8\u05E7\u05E6\u05E5\u05E4\u05E3\u05E2\u05E1\u05E0\u05DF\u05DE\u05DD "
                     u"\u05DC\u05DB\u05DA\u05D9\u05D8\u05D7\u05D6\u05D5\u05D4\u05D3\u05D2\u05D1\u05D0",
                     WS_BORDER | ES_MULTILINE | ES_RIGHT | ES_AUTOVSCROLL, 8, 72, 224, 90, 3);
  HFONT big = Font(-24);
  SendMessageW(multi, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
  ok &= Save(dir, "edits");

  page = Page(u"List and bars");
  HWND list = Child(page, u"LISTBOX", u"", WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_NOTIFY, 8, 8, 150, 120, 1001);
  for (const char16_t* face : {u"Tahoma", u"DejaVu Sans", u"David CLM", u"Frank Ruehl CLM", u"Miriam CLM",
                               u"Nachlieli CLM", u"Test Fixed", u"Courier", u"Arial", u"Simple CLM"})
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
  SendMessageW(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"david"));
  HWND bar = Child(page, u"SCROLLBAR", u"Bottom", SBS_VERT | SBS_LEFTALIGN, 180, 8, 13, 200);
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, 0, 40, 0, 12, 0};
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
  HWND empty = Child(page, u"SCROLLBAR", u"Top", SBS_VERT | SBS_LEFTALIGN, 210, 8, 13, 200);
  info.nMax = 0;
  SetScrollInfo(empty, SB_CTL, &info, TRUE);
  ok &= Save(dir, "lists");

  // A dialog from a template, in the dialog font, with the caption's OK.
  Page(u"Main");
  DialogTemplate d;
  d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_CENTER | DS_SETFONT;
  d.exStyle = WS_EX_CAPTIONOKBTN;
  d.width = 126;
  d.height = 110;
  d.caption = u"Lumora";
  d.pointSize = 8;
  d.face = u"System";
  auto item = [&d](uint16_t cls, uint32_t style, int16_t x, int16_t y, int16_t w, int16_t h, uint16_t id,
                   const char16_t* text) {
    d.items.push_back(MakeDialogItem(cls, style | WS_VISIBLE, x, y, w, h, id, text));
  };
  item(DIALOG_CLASS_STATIC, SS_CENTER | SS_NOPREFIX, 7, 7, 112, 8, 0xFFFF, u"Search");
  item(DIALOG_CLASS_EDIT, ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 21, 112, 14, 1013,
       u"\u05D0\u05D1\u05D2");
  item(DIALOG_CLASS_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 7, 42, 50, 10, 1004, u"224");
  item(DIALOG_CLASS_BUTTON, BS_AUTORADIOBUTTON, 7, 56, 50, 10, 1005, u"5D0");
  item(DIALOG_CLASS_BUTTON, BS_AUTOCHECKBOX | WS_GROUP, 64, 42, 55, 10, 1006, u"Reverse");
  item(DIALOG_CLASS_BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 80, 50, 16, 1, u"OK");
  item(DIALOG_CLASS_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, 69, 80, 50, 16, 2, u"Cancel");
  std::vector<uint8_t> bytes;
  std::string error;
  if (EncodeDialogTemplate(d, &bytes, &error)) {
    HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                                             [](HWND, UINT, WPARAM, LPARAM) -> BOOL { return FALSE; }, 0);
    CheckRadioButton(dialog, 1004, 1005, 1005);
    ok &= dialog != nullptr && Save(dir, "dialog");
  } else {
    std::fprintf(stderr, "controls_gallery: %s\n", error.c_str());
    ok = false;
  }

  DeleteObject(big);
  TestResetWindowSystem();
  return ok ? 0 : 1;
}
