// The screen taking a new size, as when the handheld turns, and keys whose
// text arrives on its own.
#include "platform/backend/backend.h"
#include "platform/screen.h"
#include "platform/window/shared.h"
#include "window_fixture.h"

namespace {

RECT RectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

std::string Show(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

}  // namespace

TEST_F(WindowTest, WindowsFollowTheScreenSize) {
  struct Row {
    int width, height;
    bool taken;
    RECT main, bar, full, box;
  };
  const Row rows[] = {
      {320, 240, true, {0, 26, 320, 240}, {0, 214, 320, 240}, {0, 0, 320, 240}, {40, 100, 200, 220}},
      {480, 640, true, {0, 26, 480, 640}, {0, 614, 480, 640}, {0, 0, 480, 640}, {40, 100, 200, 220}},
      {100, 80, true, {0, 26, 100, 80}, {0, 54, 100, 80}, {0, 0, 100, 80}, {0, 0, 160, 120}},
      {240, 320, true, {0, 26, 240, 320}, {0, 294, 240, 320}, {0, 0, 240, 320}, {40, 100, 200, 220}},
      {0, 320, false, {0, 26, 240, 320}, {0, 294, 240, 320}, {0, 0, 240, 320}, {40, 100, 200, 220}},
      {240, 9000, false, {0, 26, 240, 320}, {0, 294, 240, 320}, {0, 0, 240, 320}, {40, 100, 200, 220}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.width) + "x" + std::to_string(r.height));
    SetUp();  // a fresh window system, the probe class registered again
    HWND main = Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    HWND bar = Make(u"Bar", WS_POPUP | WS_VISIBLE, 0, 294, 240, 26, main);  // docked at the bottom
    HWND full = Make(u"Full", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320);
    HWND box = Make(u"Box", WS_POPUP | WS_VISIBLE, 40, 100, 160, 120);
    TestPumpMessages();
    log.clear();

    EXPECT_EQ(ResizeDeviceScreen(r.width, r.height), r.taken);
    EXPECT_EQ(Show(RectOf(main)), Show(r.main));
    EXPECT_EQ(Show(RectOf(bar)), Show(r.bar));
    EXPECT_EQ(Show(RectOf(full)), Show(r.full));
    EXPECT_EQ(Show(RectOf(box)), Show(r.box));
    std::vector<LPARAM> sizes;
    for (const Seen& s : log)
      if (s.window == main && s.message == WM_SIZE) sizes.push_back(s.lParam);
    bool resized = r.taken && (r.width != 240 || r.height != 320);
    EXPECT_EQ(sizes, resized ? std::vector<LPARAM>{MAKELPARAM(r.width, r.height - 26)} : std::vector<LPARAM>{});

    // Everything is painted again on the new screen: the taskbar spans it.
    TestPumpMessages();
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, ScreenWidth() - 1, 2), RGB(0, 0, 128));
    ReleaseDC(nullptr, screen);
    RECT taskbar{};
    GetWindowRect(FindWindowW(u"HHTaskBar", nullptr), &taskbar);
    EXPECT_EQ(taskbar.right, ScreenWidth());
  }
}

TEST_F(WindowTest, KeyThatTypesNothingLeavesItsTextToCome) {
  struct Row {
    WCHAR unit;
    bool control;
    std::vector<WPARAM> chars;
  };
  const Row rows[] = {
      {0, false, {u'a'}},              // the window system's own
      {u'\u05E9', false, {u'\u05E9'}}, // the layout's letter
      {kTypesNothing, false, {}},      // its text comes as a character of its own
      {0, true, {1}},                  // Ctrl+A
  };
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.unit));
    log.clear();
    if (r.control) TestInjectInput({InputEvent::kKeyDown, 0, 0, VK_CONTROL, 0});
    TestInjectInput({InputEvent::kKeyDown, 0, 0, 'A', r.unit});
    TestInjectInput({InputEvent::kKeyUp, 0, 0, 'A', 0});
    if (r.control) TestInjectInput({InputEvent::kKeyUp, 0, 0, VK_CONTROL, 0});
    Pump();
    std::vector<WPARAM> chars;
    for (const Seen& s : log)
      if (s.window == a && s.message == WM_CHAR) chars.push_back(s.wParam);
    EXPECT_EQ(chars, r.chars);
  }
}
