// A small program for the desktop tests: a window with a button that writes
// what reaches it to a log file, one line a message, and shows what was
// typed. The log file is the program's argument.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/controls.h"
#include "platform/entry.h"
#include "platform/gdi.h"
#include "platform/user.h"

namespace {

constexpr int kButton = 100;
FILE* g_log = nullptr;
std::u16string g_typed;
HFONT g_font = nullptr;

void Log(const char* format, ...) {
  if (g_log == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(g_log, format, args);
  va_end(args);
  std::fputc('\n', g_log);
  std::fflush(g_log);
}

const char* Held() {
  static std::string held;
  held.clear();
  if (GetKeyState(VK_CONTROL) < 0) held += " ctrl";
  if (GetKeyState(VK_SHIFT) < 0) held += " shift";
  if (GetKeyState(VK_MENU) < 0) held += " alt";
  return held.c_str();
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  RECT text{8, 50, client.right - 8, client.bottom - 8};
  HGDIOBJ old = SelectObject(dc, g_font);
  std::u16string shown = u"Typed: " + g_typed;
  DrawTextW(dc, shown.c_str(), -1, &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(window, &ps);
}

LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateWindowExW(0, u"BUTTON", u"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 30, window,
                      reinterpret_cast<HMENU>(static_cast<intptr_t>(kButton)), nullptr, nullptr);
      return 0;
    case WM_SIZE: Log("size %d %d", LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_LBUTTONDOWN: Log("down %d %d", LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_LBUTTONUP: Log("up %d %d", LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: Log("key %02X%s", static_cast<unsigned>(wParam), Held()); return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
      Log("char %04X", static_cast<unsigned>(wParam));
      if (wParam >= 0x20) g_typed.push_back(static_cast<char16_t>(wParam));
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_COMMAND:
      Log("command %d", LOWORD(wParam));
      SetFocus(window);
      return 0;
    case WM_PAINT: Paint(window); return 0;
    case WM_CLOSE:
      Log("close");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Log("destroy");
      PostQuitMessage(0);
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
  std::string path(commandLine, commandLine + std::char_traits<char16_t>::length(commandLine));
  g_log = std::fopen(path.c_str(), "w");
  LOGFONTW lf{};
  lf.lfHeight = -14;
  std::char_traits<char16_t>::copy(lf.lfFaceName, u"DejaVu Sans", 12);
  g_font = CreateFontIndirectW(&lf);
  WNDCLASSW wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = u"Probe";
  RegisterClassW(&wc);
  HWND main = CreateWindowExW(0, u"Probe", u"Probe", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  ShowWindow(main, show);
  UpdateWindow(main);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Log("exit %d", static_cast<int>(msg.wParam));
  DeleteObject(g_font);
  if (g_log != nullptr) std::fclose(g_log);
  return static_cast<int>(msg.wParam);
}

int main(int argc, char** argv) { return PlatformMain(argc, argv, WinMain); }
