// The shell: the taskbar window and the calls that hide it, size dialogs
// and keep the input panel's state.
#include "platform/shell.h"

#include <algorithm>
#include <cstdio>

#include "platform/backend/backend.h"
#include "platform/screen.h"
#include "platform/window/core.h"
#include "platform/window/shared.h"
#include "platform/window/testing.h"

namespace {

struct Shell {
  ShellState state;
  std::u16string paintedTitle;
  std::u16string paintedClock;
};

Shell& TheShell() {
  static Shell* s = new Shell;
  return *s;
}

std::u16string ActiveTitle() {
  win::Window* w = win::Find(win::TheCore().active);
  return w != nullptr ? w->text : std::u16string();
}

std::u16string Clock() {
  const Backend& b = CurrentBackend();
  int minute = b.minuteOfDay != nullptr ? b.minuteOfDay() : 12 * 60;
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", (minute / 60) % 24, minute % 60);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

void PaintTaskbar(HWND window) {
  Shell& s = TheShell();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT all;
  GetClientRect(window, &all);
  HBRUSH navy = CreateSolidBrush(win::kNavy);
  FillRect(dc, &all, navy);
  DeleteObject(navy);
  LONG left = 4;
  if (s.state.startIconShown) {
    // The start flag: four small squares.
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    for (int k = 0; k < 4; ++k) {
      RECT r{4 + (k % 2) * 8, 5 + (k / 2) * 8, 11 + (k % 2) * 8, 12 + (k / 2) * 8};
      FillRect(dc, &r, white);
    }
    DeleteObject(white);
    left = 26;
  }
  s.paintedTitle = ActiveTitle();
  s.paintedClock = Clock();
  HGDIOBJ old = SelectObject(dc, win::BoldFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT clock{all.right - 48, all.top, all.right - 4, all.bottom};
  DrawTextW(dc, s.paintedClock.c_str(), -1, &clock, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RECT title{left, all.top, clock.left - 4, all.bottom};
  DrawTextW(dc, s.paintedTitle.c_str(), -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(window, &ps);
}

LRESULT TaskbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintTaskbar(window);
    return 0;
  }
  if (message == WM_CLOSE) return 0;  // the shell's, not the program's to close
  return DefWindowProcW(window, message, wParam, lParam);
}

void SetSip(bool up) {
  ShellState& st = TheShell().state;
  if (st.sipUp == up) return;
  st.sipUp = up;
  std::vector<HWND> tops;
  for (HWND h : win::TheCore().topLevels)
    if (win::Window* w = win::Find(h); w != nullptr && !w->system) tops.push_back(h);
  for (HWND h : tops) SendMessageW(h, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
}

}  // namespace

namespace win {

void RegisterTaskbarClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TaskbarProc;
  wc.lpszClassName = u"HHTaskBar";
  RegisterClassW(&wc);
}

void CreateTaskbar() {
  Core& c = TheCore();
  HWND h = CreateWindowExW(WS_EX_TOPMOST, u"HHTaskBar", u"", WS_POPUP, 0, 0, ScreenWidth(), kTaskbarHeight,
                           nullptr, nullptr, nullptr, nullptr);
  if (Window* w = Find(h)) w->system = true;
  c.taskbar = h;
  ShowWindow(h, SW_SHOWNA);
}

void TaskbarChanged() {
  Shell& s = TheShell();
  Window* w = Find(TheCore().taskbar);
  if (w == nullptr) return;
  if (ActiveTitle() != s.paintedTitle || Clock() != s.paintedClock) InvalidateRect(w->handle, nullptr, FALSE);
}

void ResetShell() {
  Shell& s = TheShell();
  s.state = ShellState{};
  s.paintedTitle.clear();
  Core& c = TheCore();
  if (Find(c.taskbar) == nullptr) return;
  SetWindowPos(c.taskbar, HWND_TOPMOST, 0, 0, ScreenWidth(), kTaskbarHeight, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(c.taskbar, nullptr, FALSE);
}

}  // namespace win

using namespace win;

bool ResizeDeviceScreen(int width, int height) {
  int oldWidth = ScreenWidth(), oldHeight = ScreenHeight();
  if (width == oldWidth && height == oldHeight) return true;
  if (!ScreenResize(width, height)) return false;
  Core& c = TheCore();
  std::vector<HWND> tops = c.topLevels;
  for (HWND h : tops) {
    Window* w = Find(h);
    if (w == nullptr || w->destroying) continue;
    RECT r = w->rect;
    LONG x = r.left, y = r.top, cx = r.right - r.left, cy = r.bottom - r.top;
    if (r.left == 0 && r.right == oldWidth) cx = width;
    if (r.bottom == oldHeight) {
      // Windows that fill the screen below the taskbar keep filling it;
      // bars docked at the bottom stay there.
      if (r.top <= kTaskbarHeight) cy = std::max(0, height - static_cast<int>(r.top));
      else y = height - cy;
    }
    if (x + cx > width) x = std::max<LONG>(0, width - cx);
    if (y + cy > height) y = std::max<LONG>(0, height - cy);
    Place(h, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The framebuffer came back blank: everything paints again.
  Expose({0, 0, width, height});
  return true;
}

BOOL SHFullScreen(HWND window, DWORD state) {
  if (Find(window) == nullptr) return FALSE;
  ShellState& st = TheShell().state;
  ++st.fullScreenCalls;
  st.lastFullScreenFlags = state;
  st.lastFullScreenWindow = window;
  HWND taskbar = TheCore().taskbar;
  if (state & SHFS_HIDETASKBAR) ShowWindow(taskbar, SW_HIDE);
  if (state & SHFS_SHOWTASKBAR) ShowWindow(taskbar, SW_SHOWNA);
  if (state & SHFS_HIDESIPBUTTON) st.sipButtonShown = false;
  if (state & SHFS_SHOWSIPBUTTON) st.sipButtonShown = true;
  bool start = st.startIconShown;
  if (state & SHFS_HIDESTARTICON) st.startIconShown = false;
  if (state & SHFS_SHOWSTARTICON) st.startIconShown = true;
  if (start != st.startIconShown) InvalidateRect(taskbar, nullptr, FALSE);
  return TRUE;
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
  if (info == nullptr || Find(info->hDlg) == nullptr) return FALSE;
  ShellState& st = TheShell().state;
  ++st.initDialogCalls;
  if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
  DWORD flags = info->dwFlags;
  st.lastInitDialogFlags = flags;
  HWND dialog = info->hDlg;
  if (flags & SHIDIF_DONEBUTTON)
    SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CAPTIONOKBTN));
  if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
    int top = IsWindowVisible(TheCore().taskbar) ? kTaskbarHeight : 0;
    SetWindowPos(dialog, nullptr, 0, top, ScreenWidth(), ScreenHeight() - top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (flags & SHIDIF_SIPDOWN) SetSip(false);
  return TRUE;
}

BOOL SHSipPreference(HWND window, SIPSTATE state) {
  if (Find(window) == nullptr) return FALSE;
  TheShell().state.sipPreference = static_cast<int>(state);
  if (state == SIP_UP) SetSip(true);
  else if (state == SIP_DOWN || state == SIP_FORCEDOWN) SetSip(false);
  return TRUE;
}

BOOL SipShowIM(DWORD flags) {
  SetSip((flags & SIPF_ON) != 0);
  return TRUE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM, LPARAM, SHACTIVATEINFO* info) {
  if (Find(window) == nullptr) return FALSE;
  ++TheShell().state.settingChangeCalls;
  if (info != nullptr && info->cbSize >= sizeof(SHACTIVATEINFO)) info->fSipUp = TheShell().state.sipUp ? 1 : 0;
  return TRUE;
}

void InitCommonControls(void) {
  EnsureStarted();
  TheShell().state.commonControls = true;
}

const ShellState& TestShellState() { return TheShell().state; }
