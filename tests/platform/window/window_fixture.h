// A small window tree for the window system's tests: a probe class that
// records what its windows receive, and ways to read the record.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/backend/testing.h"
#include "platform/dialogs.h"
#include "platform/testing.h"
#include "platform/user.h"
#include "platform/window/testing.h"

struct Seen {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// What a probe window does with a message: set *handled to answer it.
using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool* handled)>;

class WindowTest : public ::testing::Test {
 public:
  void SetUp() override {
    TestResetWindowSystem();
    Current() = this;
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Probe;
    wc.cbWndExtra = 16;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"Probe";
    ASSERT_NE(RegisterClassW(&wc), 0);
  }
  void TearDown() override {
    handler = nullptr;  // it may hold the test's locals
    TestResetWindowSystem();
    Current() = nullptr;
  }

  HWND Make(const char16_t* title, DWORD style, int x, int y, int width, int height, HWND parent = nullptr,
            DWORD exStyle = 0, int id = 0) {
    return CreateWindowExW(exStyle, u"Probe", title, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }

  // The messages recorded since the last call, as "name:MESSAGE" for the
  // windows named, leaving out painting unless asked.
  std::vector<std::string> Trace(const std::map<HWND, std::string>& names, bool painting = false) {
    std::vector<std::string> out;
    for (const Seen& s : log) {
      auto n = names.find(s.window);
      if (n == names.end()) continue;
      std::string m = MessageName(s.message);
      if (m.empty() || (!painting && (s.message == WM_PAINT || s.message == WM_ERASEBKGND))) continue;
      if (s.message == WM_ACTIVATE) m += "(" + std::to_string(LOWORD(s.wParam)) + ")";
      if (s.message == WM_COMMAND) m += "(" + std::to_string(LOWORD(s.wParam)) + ")";
      out.push_back(n->second + ":" + m);
    }
    log.clear();
    return out;
  }

  static std::string MessageName(UINT m) {
    static const std::map<UINT, std::string> names = {
        {WM_CREATE, "CREATE"},           {WM_DESTROY, "DESTROY"},         {WM_MOVE, "MOVE"},
        {WM_SIZE, "SIZE"},               {WM_ACTIVATE, "ACTIVATE"},       {WM_SETFOCUS, "SETFOCUS"},
        {WM_KILLFOCUS, "KILLFOCUS"},     {WM_ENABLE, "ENABLE"},           {WM_PAINT, "PAINT"},
        {WM_CLOSE, "CLOSE"},             {WM_ERASEBKGND, "ERASEBKGND"},   {WM_SHOWWINDOW, "SHOWWINDOW"},
        {WM_WINDOWPOSCHANGED, "POSCHANGED"}, {WM_KEYDOWN, "KEYDOWN"},    {WM_KEYUP, "KEYUP"},
        {WM_CHAR, "CHAR"},               {WM_SYSKEYDOWN, "SYSKEYDOWN"},   {WM_SYSKEYUP, "SYSKEYUP"},
        {WM_SYSCHAR, "SYSCHAR"},         {WM_COMMAND, "COMMAND"},         {WM_MOUSEMOVE, "MOUSEMOVE"},
        {WM_LBUTTONDOWN, "LBUTTONDOWN"}, {WM_LBUTTONUP, "LBUTTONUP"},     {WM_LBUTTONDBLCLK, "LBUTTONDBLCLK"},
        {WM_CAPTURECHANGED, "CAPTURECHANGED"}, {WM_VSCROLL, "VSCROLL"},  {WM_SETTINGCHANGE, "SETTINGCHANGE"},
    };
    auto it = names.find(m);
    return it == names.end() ? std::string() : it->second;
  }

  // Takes every queued message and piece of input, without waiting.
  static void Pump() {
    MSG msg;
    for (int guard = 0; guard < 100000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  // Runs the program's kind of loop until it ends; returns the quit code.
  static int RunLoop() {
    MSG msg;
    int guard = 0;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0 && ++guard < 100000) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : -1;
  }

  std::vector<Seen> log;
  Handler handler;

 private:
  static WindowTest*& Current() {
    static WindowTest* current = nullptr;
    return current;
  }

  static LRESULT Probe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowTest* t = Current();
    if (t != nullptr) {
      t->log.push_back({window, message, wParam, lParam});
      if (t->handler) {
        bool handled = false;
        LRESULT r = t->handler(window, message, wParam, lParam, &handled);
        if (handled) return r;
      }
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};
