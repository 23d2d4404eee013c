// The window system's demonstration: a small handheld program written
// against the platform's calls alone, with a menu bar and toolbar, a
// painted client area, a dialog of every control kind and message boxes.
#include "demo_ids.h"
#include "platform/entry.h"
#include "platform/platform.h"

namespace {

const WCHAR kClassName[] = u"LumoraDemo";
const WCHAR kTitle[] = u"Lumora Demo";

// What the dialog edits and the main window shows.
struct Settings {
  WCHAR name[34];
  int colour;  // IDC_RED, IDC_GREEN or IDC_BLUE
  BOOL bold;
  WCHAR fruit[32];
  int level;
};

const Settings kFirstSettings = {u"Lumora", IDC_GREEN, FALSE, u"Cherry", 40};
const WCHAR* const kFruits[] = {u"Plum", u"Cherry", u"Apple", u"Lemon", u"Banana", u"Grape", u"Fig"};
const int kLevelMax = 100;
const int kLevelPage = 10;
const int kLogLines = 4;

HINSTANCE g_instance;
HWND g_main;
HWND g_menuBar;
HMENU g_viewMenu;
BOOL g_grid;
BOOL g_large;
BOOL g_destroyed;
Settings g_settings;
Settings g_working;  // the dialog's copy while it is open
WCHAR g_answer[32] = u"none";
WCHAR g_log[kLogLines][40];
int g_logCount;

void CopyText(WCHAR* to, int capacity, const WCHAR* from) {
  int n = 0;
  for (; n + 1 < capacity && from[n] != 0; ++n) to[n] = from[n];
  to[n] = 0;
}

int Length(const WCHAR* text) {
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// "prefix" followed by a number.
void WithNumber(WCHAR* to, int capacity, const WCHAR* prefix, int number) {
  CopyText(to, capacity, prefix);
  WCHAR digits[12];
  int n = 0;
  unsigned value = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
  do {
    digits[n++] = static_cast<WCHAR>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  if (number < 0) digits[n++] = u'-';
  int at = Length(to);
  while (n > 0 && at + 1 < capacity) to[at++] = digits[--n];
  to[at] = 0;
}

void Append(WCHAR* to, int capacity, const WCHAR* more) {
  int at = Length(to);
  CopyText(to + at, capacity - at, more);
}

const WCHAR* ColourName(int colour) {
  return colour == IDC_RED ? u"Red" : colour == IDC_BLUE ? u"Blue" : u"Green";
}

COLORREF ColourOf(int colour) {
  return colour == IDC_RED ? RGB(200, 30, 30) : colour == IDC_BLUE ? RGB(30, 60, 200) : RGB(20, 140, 60);
}

const WCHAR* AnswerName(int answer) {
  switch (answer) {
    case IDYES: return u"Yes";
    case IDNO: return u"No";
    case IDOK: return u"OK";
    default: return u"Cancel";
  }
}

HFONT MakeFont(int height, int weight, BYTE charSet, const WCHAR* face) {
  LOGFONTW lf = {};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  CopyText(lf.lfFaceName, LF_FACESIZE, face);
  return CreateFontIndirectW(&lf);
}

// ---- The dialog ----

// The log shows the last few things that happened, newest last.
void Log(HWND dialog, const WCHAR* line) {
  if (g_logCount == kLogLines) {
    for (int i = 1; i < kLogLines; ++i) CopyText(g_log[i - 1], 40, g_log[i]);
    --g_logCount;
  }
  CopyText(g_log[g_logCount++], 40, line);
  WCHAR text[kLogLines * 42] = u"";
  for (int i = 0; i < g_logCount; ++i) {
    if (i > 0) Append(text, kLogLines * 42, u"\r\n");
    Append(text, kLogLines * 42, g_log[i]);
  }
  SetDlgItemTextW(dialog, IDC_LOG, text);
}

void ShowLevel(HWND dialog, int level) {
  WCHAR text[24];
  WithNumber(text, 24, u"Level ", level);
  SetDlgItemTextW(dialog, IDC_LEVEL_TEXT, text);
}

void SetLevel(HWND dialog, int level) {
  if (level < 0) level = 0;
  if (level > kLevelMax) level = kLevelMax;
  g_working.level = level;
  SCROLLINFO si = {sizeof si, SIF_POS, 0, 0, 0, level, 0};
  SetScrollInfo(GetDlgItem(dialog, IDC_LEVEL), SB_CTL, &si, TRUE);
  ShowLevel(dialog, level);
}

void OnLevelScroll(HWND dialog, HWND bar, int code) {
  SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(bar, SB_CTL, &si);
  int level = si.nPos;
  switch (code) {
    case SB_LINEUP: level -= 1; break;
    case SB_LINEDOWN: level += 1; break;
    case SB_PAGEUP: level -= kLevelPage; break;
    case SB_PAGEDOWN: level += kLevelPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: level = si.nTrackPos; break;
    case SB_TOP: level = 0; break;
    case SB_BOTTOM: level = kLevelMax; break;
    case SB_ENDSCROLL: {
      WCHAR line[24];
      WithNumber(line, 24, u"Level: ", si.nPos);
      Log(dialog, line);
      return;
    }
    default: return;
  }
  SetLevel(dialog, level);
}

void DrawAskButton(const DRAWITEMSTRUCT* item) {
  BOOL pressed = (item->itemState & ODS_SELECTED) != 0;
  HBRUSH fill = CreateSolidBrush(pressed ? RGB(0, 0, 128) : RGB(255, 200, 0));
  HGDIOBJ oldBrush = SelectObject(item->hDC, fill);
  HGDIOBJ oldPen = SelectObject(item->hDC, GetStockObject(BLACK_PEN));
  const RECT& r = item->rcItem;
  Rectangle(item->hDC, r.left, r.top, r.right, r.bottom);
  if (item->itemState & ODS_FOCUS) {
    SelectObject(item->hDC, GetStockObject(NULL_BRUSH));
    Rectangle(item->hDC, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
  }
  SelectObject(item->hDC, oldPen);
  SelectObject(item->hDC, oldBrush);
  DeleteObject(fill);
  WCHAR text[16];
  GetWindowTextW(item->hwndItem, text, 16);
  RECT box = r;
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, pressed ? RGB(255, 255, 255) : RGB(0, 0, 0));
  DrawTextW(item->hDC, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Ask(HWND dialog) {
  int answer = MessageBoxW(dialog, u"Keep the name you typed?", u"Question", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDNO) SetDlgItemTextW(dialog, IDC_NAME, u"");
  CopyText(g_answer, 32, AnswerName(answer));
  WCHAR line[40] = u"Answer: ";
  Append(line, 40, g_answer);
  Log(dialog, line);
}

void InitControls(HWND dialog) {
  SHINITDLGINFO shidi = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&shidi);
  SendDlgItemMessageW(dialog, IDC_NAME, EM_LIMITTEXT, 33, 0);
  SetDlgItemTextW(dialog, IDC_NAME, g_working.name);
  for (const WCHAR* fruit : kFruits)
    SendDlgItemMessageW(dialog, IDC_FRUIT, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fruit));
  LRESULT at = SendDlgItemMessageW(dialog, IDC_FRUIT, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(g_working.fruit));
  SendDlgItemMessageW(dialog, IDC_FRUIT, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  CheckRadioButton(dialog, IDC_RED, IDC_BLUE, g_working.colour);
  CheckDlgButton(dialog, IDC_BOLD, g_working.bold ? BST_CHECKED : BST_UNCHECKED);
  SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, kLevelMax + kLevelPage - 1,
                   static_cast<UINT>(kLevelPage), g_working.level, 0};
  SetScrollInfo(GetDlgItem(dialog, IDC_LEVEL), SB_CTL, &si, FALSE);
  ShowLevel(dialog, g_working.level);
  g_logCount = 0;
  Log(dialog, u"Ready.");
}

void OnControl(HWND dialog, int id, int code) {
  WCHAR line[40];
  switch (id) {
    case IDOK: {
      GetDlgItemTextW(dialog, IDC_NAME, g_working.name, 34);
      LRESULT at = SendDlgItemMessageW(dialog, IDC_FRUIT, LB_GETCURSEL, 0, 0);
      if (at != LB_ERR && SendDlgItemMessageW(dialog, IDC_FRUIT, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0) < 32)
        SendDlgItemMessageW(dialog, IDC_FRUIT, LB_GETTEXT, static_cast<WPARAM>(at),
                            reinterpret_cast<LPARAM>(g_working.fruit));
      g_settings = g_working;
      EndDialog(dialog, IDOK);
      return;
    }
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return;
    case IDC_RED:
    case IDC_GREEN:
    case IDC_BLUE:
      if (code != BN_CLICKED) return;
      g_working.colour = id;
      CopyText(line, 40, u"Colour: ");
      Append(line, 40, ColourName(id));
      Log(dialog, line);
      return;
    case IDC_BOLD:
      if (code != BN_CLICKED) return;
      g_working.bold = IsDlgButtonChecked(dialog, IDC_BOLD) == BST_CHECKED;
      Log(dialog, g_working.bold ? u"Bold: on" : u"Bold: off");
      return;
    case IDC_ASK:
      if (code == BN_CLICKED) Ask(dialog);
      return;
    case IDC_NAME:
      if (code == EN_MAXTEXT) Log(dialog, u"Name: full");
      return;
    case IDC_FRUIT:
      if (code != LBN_SELCHANGE) return;
      {
        LRESULT at = SendDlgItemMessageW(dialog, IDC_FRUIT, LB_GETCURSEL, 0, 0);
        CopyText(line, 40, u"Fruit: ");
        if (at != LB_ERR && SendDlgItemMessageW(dialog, IDC_FRUIT, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0) < 32)
          SendDlgItemMessageW(dialog, IDC_FRUIT, LB_GETTEXT, static_cast<WPARAM>(at),
                              reinterpret_cast<LPARAM>(line + Length(line)));
        Log(dialog, line);
      }
      return;
    default: return;
  }
}

BOOL ControlsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitControls(dialog); return TRUE;
    case WM_COMMAND: OnControl(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, IDC_LEVEL)) return FALSE;
      OnLevelScroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != IDC_ASK) return FALSE;
      DrawAskButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    default: return FALSE;
  }
}

// ---- The main window ----

void PaintMain(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  SetBkMode(dc, TRANSPARENT);

  HICON icon = LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_DEMO));
  DrawIcon(dc, 8, 6, icon);
  DestroyIcon(icon);
  HFONT title = MakeFont(-15, FW_BOLD, ANSI_CHARSET, u"DejaVu Sans");
  HGDIOBJ oldFont = SelectObject(dc, title);
  RECT line = {48, 4, client.right - 8, 24};
  DrawTextW(dc, kTitle, -1, &line, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  WCHAR greeting[40];
  LoadStringW(g_instance, IDS_GREETING, greeting, 40);
  HFONT hebrew = MakeFont(-20, FW_NORMAL, HEBREW_CHARSET, u"David CLM");
  SelectObject(dc, hebrew);
  line = {48, 20, client.right - 8, 44};
  DrawTextW(dc, greeting, -1, &line, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);

  // The sample: the name in the chosen colour and weight inside a framed box.
  RECT box = {8, 50, client.right - 8, 140};
  HBRUSH tint = CreateSolidBrush(RGB(240, 240, 224));
  HPEN frame = CreatePen(PS_SOLID, 1, ColourOf(g_settings.colour));
  HGDIOBJ oldBrush = SelectObject(dc, tint);
  HGDIOBJ oldPen = SelectObject(dc, frame);
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  if (g_grid) {
    for (int x = box.left + 12; x < box.right - 1; x += 12) {
      MoveToEx(dc, x, box.top + 1, nullptr);
      LineTo(dc, x, box.bottom - 1);
    }
    for (int y = box.top + 12; y < box.bottom - 1; y += 12) {
      MoveToEx(dc, box.left + 1, y, nullptr);
      LineTo(dc, box.right - 1, y);
    }
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(frame);
  DeleteObject(tint);
  HFONT sample = MakeFont(g_large ? -26 : -16, g_settings.bold ? FW_BOLD : FW_NORMAL, HEBREW_CHARSET, u"");
  SelectObject(dc, sample);
  SetTextColor(dc, ColourOf(g_settings.colour));
  DrawTextW(dc, g_settings.name, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  HFONT small = MakeFont(-12, FW_NORMAL, ANSI_CHARSET, u"DejaVu Sans");
  SelectObject(dc, small);
  SetTextColor(dc, RGB(0, 0, 0));
  WCHAR text[64];
  int y = 148;
  auto row = [&](const WCHAR* label, const WCHAR* value) {
    CopyText(text, 64, label);
    Append(text, 64, value);
    RECT r = {12, y, client.right - 8, y + 16};
    DrawTextW(dc, text, -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    y += 17;
  };
  row(u"Colour: ", ColourName(g_settings.colour));
  row(u"Fruit: ", g_settings.fruit);
  WithNumber(text, 64, u"", g_settings.level);
  WCHAR level[16];
  CopyText(level, 16, text);
  row(u"Level: ", level);
  row(u"Last answer: ", g_answer);
  row(u"Text: ", g_large ? u"large" : u"small");
  row(u"Grid: ", g_grid ? u"on" : u"off");

  SelectObject(dc, oldFont);
  DeleteObject(small);
  DeleteObject(sample);
  DeleteObject(hebrew);
  DeleteObject(title);
  EndPaint(window, &ps);
}

void CreateBars(HWND window) {
  SHMENUBARINFO mbi = {};
  mbi.cbSize = sizeof mbi;
  mbi.hwndParent = window;
  mbi.dwFlags = SHCMBF_HIDESIPBUTTON;
  mbi.nToolBarId = IDR_MENU;
  mbi.hInstRes = g_instance;
  mbi.nBmpId = IDB_TOOLBAR;
  mbi.cBmpImages = 3;
  if (!SHCreateMenuBar(&mbi)) return;
  g_menuBar = mbi.hwndMB;
  static const TBBUTTON kButtons[] = {
      {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, 0, 0},
      {0, IDM_DIALOG, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
      {1, IDM_GRID, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
      {2, IDM_MESSAGE, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
  };
  static LPCWSTR kTips[] = {nullptr, nullptr, u"Dialog", u"Grid", u"Message"};
  SendMessageW(g_menuBar, TB_SETTOOLTIPS, 5, reinterpret_cast<LPARAM>(kTips));
  SendMessageW(g_menuBar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(kButtons));
  g_viewMenu = reinterpret_cast<HMENU>(SendMessageW(g_menuBar, SHCMBM_GETSUBMENU, 0, IDM_VIEW));
  CheckMenuRadioItem(g_viewMenu, IDM_SMALL, IDM_LARGE, IDM_SMALL, MF_BYCOMMAND);

  // The menu bar covers the bottom of the screen: the window ends above it.
  RECT rc, bar;
  GetWindowRect(window, &rc);
  GetWindowRect(g_menuBar, &bar);
  MoveWindow(window, rc.left, rc.top, rc.right - rc.left, bar.top - rc.top, FALSE);
}

void OnCommand(HWND window, int id) {
  switch (id) {
    case IDM_DIALOG:
      g_working = g_settings;
      DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_CONTROLS), window, ControlsProc, 0);
      break;
    case IDM_MESSAGE: {
      int answer = MessageBoxW(window, u"Go back to the first settings?", kTitle, MB_YESNO | MB_ICONEXCLAMATION);
      CopyText(g_answer, 32, AnswerName(answer));
      if (answer == IDYES) g_settings = kFirstSettings;
      break;
    }
    case IDM_GRID:
      g_grid = !g_grid;
      CheckMenuItem(g_viewMenu, IDM_GRID, MF_BYCOMMAND | (g_grid ? MF_CHECKED : MF_UNCHECKED));
      break;
    case IDM_SMALL:
    case IDM_LARGE:
      g_large = id == IDM_LARGE;
      CheckMenuRadioItem(g_viewMenu, IDM_SMALL, IDM_LARGE, static_cast<UINT>(id), MF_BYCOMMAND);
      break;
    case IDM_EXIT: DestroyWindow(window); return;
    default: return;
  }
  InvalidateRect(window, nullptr, TRUE);
}

LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: CreateBars(window); return 0;
    case WM_PAINT: PaintMain(window); return 0;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return 0;
    case WM_DESTROY:
      g_destroyed = TRUE;
      PostQuitMessage(0);
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  g_instance = instance;
  g_settings = kFirstSettings;
  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_DEMO));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc)) return 1;
  g_main = CreateWindowExW(0, kClassName, kTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (g_main == nullptr) return 1;
  ShowWindow(g_main, show);
  UpdateWindow(g_main);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_DEMO));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(g_main, accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  DestroyAcceleratorTable(accelerators);
  DestroyIcon(wc.hIcon);
  // The loop ends only through WM_DESTROY's quit message.
  return g_destroyed ? static_cast<int>(msg.wParam) : 3;
}

int main(int argc, char** argv) { return PlatformMain(argc, argv, WinMain); }
