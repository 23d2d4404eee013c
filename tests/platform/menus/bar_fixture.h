// A main window that records what the bars and menus tell it, the app's
// bars built on it, and a loop driven step by step from the idle callback.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "drive.h"
#include "menus_fixture.h"
#include "platform/backend/testing.h"
#include "platform/dialogs.h"
#include "platform/testing.h"
#include "platform/window/testing.h"

// The toolbar buttons and tips the app adds to either bar.
inline const TBBUTTON kAppButtons[] = {
    {0, 110, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {1, 119, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {2, 109, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {3, 40006, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
    {4, 116, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {5, 117, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0},
};
inline LPCWSTR kAppTips[] = {nullptr, u"Previous Article", u"Choose Article", u"Next Article",
                             u"Choose Font", u"Search", u"Search Again"};

inline COLORREF Pixel(int x, int y) { return TestScreenPixel(x, y); }
inline const COLORREF kBlue = RGB(0, 80, 200);
inline const COLORREF kWhite = RGB(255, 255, 255);

inline void Press(int x, int y) { TestInjectInput({InputEvent::kPress, x, y, 0, 0}); }
inline void Move(int x, int y) { TestInjectInput({InputEvent::kMove, x, y, 0, 0}); }
inline void Release(int x, int y) { TestInjectInput({InputEvent::kRelease, x, y, 0, 0}); }

// The shown window of a class, or null.
inline HWND Shown(const char16_t* className) {
  HWND w = FindWindowW(className, nullptr);
  return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}
inline RECT ClientOnScreenOf(HWND window) {
  RECT r{0, 0, 0, 0};
  GetClientRect(window, &r);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}
inline RECT Rect(HWND window) {
  RECT r{0, 0, 0, 0};
  GetWindowRect(window, &r);
  return r;
}
// Pixels of this colour in a screen rectangle.
inline int Count(const RECT& r, COLORREF colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += Pixel(x, y) == colour;
  return n;
}

// Pixels of any other colour: ink on a ground.
inline int Ink(const RECT& r, COLORREF ground) {
  return (r.right - r.left) * (r.bottom - r.top) - Count(r, ground);
}

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestResetWindowSystem();
    TestClearMessageBoxes();
    ASSERT_TRUE(TestUseResources(AppResources()));
    Current() = this;
    WNDCLASSW wc{};
    wc.lpfnWndProc = MainProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"MenusTestMain";
    RegisterClassW(&wc);
    main_ = MakeMain();
    ASSERT_NE(main_, nullptr);
  }
  // A window as the app's main window: the screen below the taskbar.
  static HWND MakeMain() {
    HWND main = CreateWindowExW(0, u"MenusTestMain", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    TestPumpMessages();
    return main;
  }
  void TearDown() override {
    TestSetIdleCallback(nullptr);
    TestResetWindowSystem();
    TestClearMessageBoxes();
    Current() = nullptr;
  }

  // The app's menu bar (menu bar mode) and command bar (command bar mode).
  HWND MakeMenuBar() {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = main_;
    info.dwFlags = SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = 102;
    EXPECT_TRUE(SHCreateMenuBar(&info));
    AddToolbar(info.hwndMB);
    return info.hwndMB;
  }
  HWND MakeCommandBar(bool adornments) {
    HWND bar = CommandBar_Create(nullptr, main_, 1);
    EXPECT_NE(bar, nullptr);
    EXPECT_TRUE(CommandBar_InsertMenubar(bar, nullptr, 102, 0));
    AddToolbar(bar);
    if (adornments) {
      EXPECT_TRUE(CommandBar_AddAdornments(bar, 0, 0));
    }
    return bar;
  }
  void AddToolbar(HWND bar) {
    EXPECT_TRUE(CommandBar_AddToolTips(bar, 7, kAppTips));
    EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 114, 6, 16, 16), 0);
    EXPECT_TRUE(CommandBar_AddButtons(bar, 6, kAppButtons));
    EXPECT_TRUE(CommandBar_Show(bar, TRUE));
    TestPumpMessages();
  }

  void Drive(const std::vector<std::function<void()>>& steps) {
    EXPECT_EQ(DriveLoop(steps), steps.size()) << "the loop ended before every step ran";
  }

  HWND main_ = nullptr;
  std::function<void(UINT)> onCommand;  // runs on each WM_COMMAND to the main window
  std::function<void(UINT)> onMessage;  // runs on every message to it
  std::vector<UINT> commands;       // WM_COMMAND ids the main window got
  std::vector<LPARAM> commandFrom;  // and their lParam
  std::vector<HMENU> initPopups;    // WM_INITMENUPOPUP
  int closes = 0;

 private:
  static MenusTest*& Current() {
    static MenusTest* current = nullptr;
    return current;
  }
  static LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (MenusTest* t = Current()) {
      if (t->onMessage) t->onMessage(message);
      if (message == WM_COMMAND) {
        t->commands.push_back(LOWORD(wParam));
        t->commandFrom.push_back(lParam);
        if (t->onCommand) t->onCommand(LOWORD(wParam));
      }
      if (message == WM_INITMENUPOPUP) t->initPopups.push_back(reinterpret_cast<HMENU>(wParam));
      if (message == WM_CLOSE) ++t->closes;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};
