// Painting: geometry, WM_PAINT when the queue is empty, clipping to the
// update rectangle, windows painted back to front, the caption and its OK
// button, and the window scroll bar.
#include <map>

#include "platform/controls.h"
#include "platform/screen.h"
#include "window_fixture.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kNavy = RGB(0, 0, 128);

class PaintTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    handler = [this](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
      if (m != WM_PAINT || colours.find(h) == colours.end()) return 0;
      *handled = true;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      painted[h] = ps.rcPaint;
      RECT everything{-1000, -1000, 1000, 1000};
      HBRUSH brush = CreateSolidBrush(colours[h]);
      FillRect(dc, &everything, brush);
      DeleteObject(brush);
      EndPaint(h, &ps);
      return 0;
    };
  }
  HWND Painted(COLORREF colour, DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD ex = 0) {
    HWND window = Make(u"Painted", style, x, y, w, h, parent, ex);
    colours[window] = colour;
    return window;
  }
  std::map<HWND, COLORREF> colours;
  std::map<HWND, RECT> painted;
};

struct GeometryCase {
  const char* name;
  DWORD style;
  DWORD exStyle;
  int screenWidth, screenHeight;
  RECT window;
  LONG clientWidth, clientHeight;
};

class Geometry : public WindowTest, public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(Geometry, DefaultPlacement) {
  const GeometryCase& c = GetParam();
  if (c.screenWidth != 240) {
    ScreenResize(c.screenWidth, c.screenHeight);
  }
  HWND parent = nullptr;
  if (c.style & WS_CHILD) parent = Make(u"P", WS_VISIBLE, 0, 26, 100, 100);
  HWND h = CreateWindowExW(c.exStyle, u"Probe", u"", c.style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, parent, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  RECT r, client;
  GetWindowRect(h, &r);
  GetClientRect(h, &client);
  EXPECT_EQ(r.left, c.window.left);
  EXPECT_EQ(r.top, c.window.top);
  EXPECT_EQ(r.right, c.window.right);
  EXPECT_EQ(r.bottom, c.window.bottom);
  EXPECT_EQ(client.right, c.clientWidth);
  EXPECT_EQ(client.bottom, c.clientHeight);
}

const GeometryCase kGeometry[] = {
    {"Plain", WS_VISIBLE, WS_EX_WINDOWEDGE, 240, 320, {0, 26, 240, 320}, 240, 294},
    {"Caption", WS_VISIBLE | WS_CAPTION, 0, 240, 320, {0, 26, 240, 320}, 238, 270},
    {"Border", WS_VISIBLE | WS_BORDER, 0, 240, 320, {0, 26, 240, 320}, 238, 292},
    {"ClientEdge", WS_VISIBLE, WS_EX_CLIENTEDGE, 240, 320, {0, 26, 240, 320}, 236, 290},
    {"LargeScreen", WS_VISIBLE, 0, 480, 640, {0, 26, 480, 640}, 480, 614},
    {"Child", WS_CHILD | WS_VISIBLE, 0, 240, 320, {0, 26, 0, 26}, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Windows, Geometry, ::testing::ValuesIn(kGeometry),
                         [](const ::testing::TestParamInfo<GeometryCase>& i) { return std::string(i.param.name); });

TEST_F(PaintTest, PaintComesWhenTheQueueIsEmptyAndIsClipped) {
  HWND a = Painted(kBlue, WS_VISIBLE, 0, 26, 240, 294);
  PostMessageW(a, WM_COMMAND, 9, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_COMMAND));
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(m.hwnd, a);
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 150), kBlue);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));

  colours[a] = kRed;
  RECT part{10, 10, 50, 50};
  InvalidateRect(a, &part, FALSE);
  RECT more{40, 40, 60, 60};
  InvalidateRect(a, &more, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(a, &update, FALSE));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.bottom, 60);
  Pump();
  EXPECT_EQ(painted[a].left, 10);
  EXPECT_EQ(painted[a].right, 60);
  EXPECT_EQ(TestScreenPixel(10, 36), kRed);
  EXPECT_EQ(TestScreenPixel(59, 85), kRed);
  EXPECT_EQ(TestScreenPixel(60, 86), kBlue);
  EXPECT_EQ(TestScreenPixel(9, 36), kBlue);
  EXPECT_FALSE(GetUpdateRect(a, &update, FALSE));

  InvalidateRect(a, nullptr, TRUE);
  ValidateRect(a, nullptr);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(PaintTest, EraseFillsWithTheClassBrushAndValidateCuts) {
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  Pump();
  HDC dc = GetDC(a);
  RECT all{0, 0, 100, 100};
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(dc, &all, red);
  DeleteObject(red);
  ReleaseDC(a, dc);
  RECT part{0, 0, 100, 50};
  InvalidateRect(a, &part, TRUE);
  RECT top{0, 0, 100, 20};
  ValidateRect(a, &top);
  RECT update;
  GetUpdateRect(a, &update, FALSE);
  EXPECT_EQ(update.top, 20);
  Pump();
  EXPECT_EQ(TestScreenPixel(50, 26 + 10), kRed);
  EXPECT_EQ(TestScreenPixel(50, 26 + 30), kWhite);
  EXPECT_EQ(TestScreenPixel(50, 26 + 60), kRed);
}

TEST_F(PaintTest, AProcedureThatNeverValidatesIsNotPaintedForEver) {
  int paints = 0;
  handler = [&](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    if (m == WM_PAINT) {
      ++paints;
      *handled = true;
    }
    return 0;
  };
  Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  Pump();
  EXPECT_EQ(paints, 1);
}

TEST_F(PaintTest, WindowsArePaintedBackToFront) {
  HWND below = Painted(kBlue, WS_VISIBLE, 0, 26, 150, 150);
  HWND child = Painted(kGreen, WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, below);
  HWND above = Painted(kRed, WS_VISIBLE | WS_POPUP, 100, 100, 100, 100);
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 120), kRed);  // the overlap
  EXPECT_EQ(TestScreenPixel(20, 46), kGreen);
  EXPECT_EQ(TestScreenPixel(50, 50), kBlue);

  // A window that draws over everything has what lies above it painted again.
  HDC dc = GetDC(below);
  RECT all{0, 0, 150, 150};
  HBRUSH brush = CreateSolidBrush(kBlue);
  FillRect(dc, &all, brush);
  EXPECT_EQ(TestScreenPixel(120, 120), kBlue);
  EXPECT_EQ(TestScreenPixel(20, 46), kBlue);
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 120), kRed);
  EXPECT_EQ(TestScreenPixel(20, 46), kGreen);

  // The same context follows the window when it moves.
  MoveWindow(below, 0, 60, 150, 150, TRUE);
  Pump();
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  EXPECT_EQ(TestScreenPixel(0, 60), kBlue);
  EXPECT_EQ(TestScreenPixel(0, 59), kWhite);
  ReleaseDC(below, dc);

  // Hiding the window above uncovers what it hid.
  ShowWindow(above, SW_HIDE);
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 120), kBlue);
  EXPECT_EQ(TestScreenPixel(190, 190), kWhite);
  DestroyWindow(below);
  Pump();
  EXPECT_EQ(TestScreenPixel(50, 100), kWhite);
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(PaintTest, CaptionShowsTitleAndOkButtonSendsIdOk) {
  HWND d = Make(u"Choose Section", WS_POPUP | WS_VISIBLE | WS_CAPTION, 20, 60, 200, 150, nullptr,
                WS_EX_CAPTIONOKBTN);
  Pump();
  EXPECT_EQ(TestScreenPixel(20, 60), RGB(0, 0, 0));            // the border
  EXPECT_EQ(TestScreenPixel(100, 60 + 22), kNavy);             // the caption's lower edge
  EXPECT_EQ(TestScreenPixel(20 + 200 - 4, 70), kWhite);        // right of the OK button
  EXPECT_EQ(TestScreenPixel(20 + 200 - 4 - 26, 70), kNavy);    // its frame
  int ink = 0;
  for (int x = 24; x < 120; ++x)
    for (int y = 62; y < 80; ++y) ink += TestScreenPixel(x, y) != kWhite;
  EXPECT_GT(ink, 20);  // the title

  struct Row {
    std::vector<InputEvent> events;
    bool command;
  };
  const int okX = 20 + 200 - 4 - 13, okY = 60 + 11;
  const Row rows[] = {
      {{{InputEvent::kPress, okX, okY}, {InputEvent::kRelease, okX, okY}}, true},
      {{{InputEvent::kPress, okX, okY}, {InputEvent::kMove, 100, 100}, {InputEvent::kRelease, 100, 100}}, false},
      {{{InputEvent::kPress, okX, okY}, {InputEvent::kMove, 100, 100}, {InputEvent::kMove, okX, okY},
        {InputEvent::kRelease, okX, okY}},
       true},
      {{{InputEvent::kPress, 60, 70}, {InputEvent::kRelease, okX, okY}}, false},
  };
  for (const Row& r : rows) {
    log.clear();
    for (const InputEvent& e : r.events) {
      TestInjectInput(e);
      Pump();
      if (e.kind == InputEvent::kPress && e.x == okX) {
        EXPECT_EQ(TestScreenPixel(20 + 200 - 4 - 25, 65), RGB(0, 80, 200));  // pressed
      }
    }
    std::vector<std::string> trace = Trace({{d, "D"}});
    bool sent = std::find(trace.begin(), trace.end(), "D:COMMAND(1)") != trace.end();
    EXPECT_EQ(sent, r.command);
    EXPECT_EQ(TestScreenPixel(20 + 200 - 4 - 25, 65), kWhite);
  }
}

TEST_F(PaintTest, ScrollBarComesWithARangeOutsideTheClientArea) {
  HWND a = Painted(kBlue, WS_VISIBLE, 0, 26, 100, 100);
  Pump();
  std::vector<LPARAM> sizes;
  auto paint = handler;
  handler = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == WM_SIZE) sizes.push_back(l);
    return paint(h, m, w, l, handled);
  };
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS, 0, 10, 0, 3, 0};
  EXPECT_EQ(SetScrollInfo(a, SB_VERT, &si, TRUE), 3);
  EXPECT_EQ(sizes, std::vector<LPARAM>{MAKELPARAM(87, 100)});
  RECT client;
  GetClientRect(a, &client);
  EXPECT_EQ(client.right, 87);
  EXPECT_TRUE(GetWindowLongW(a, GWL_STYLE) & WS_VSCROLL);
  Pump();
  EXPECT_EQ(TestScreenPixel(80, 60), kBlue);
  EXPECT_NE(TestScreenPixel(95, 60), kBlue);
  EXPECT_NE(TestScreenPixel(95, 60), kWhite);

  // A press on the bar reaches the window as a non-client press.
  std::vector<Seen> presses;
  handler = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == WM_NCLBUTTONDOWN) {
      presses.push_back({h, m, w, l});
      *handled = true;
      return 0;
    }
    return paint(h, m, w, l, handled);
  };
  TestTap(93, 70);
  Pump();
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].wParam, static_cast<WPARAM>(HTVSCROLL));
  EXPECT_EQ(presses[0].lParam, MAKELPARAM(93, 70));

  sizes.clear();
  handler = [&](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == WM_SIZE) sizes.push_back(l);
    return paint(h, m, w, l, handled);
  };
  si.nMax = 0;
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  EXPECT_EQ(sizes, std::vector<LPARAM>{MAKELPARAM(100, 100)});
  Pump();
  EXPECT_EQ(TestScreenPixel(95, 60), kBlue);
}

TEST_F(PaintTest, ScrollInfoIsClampedAsThePlatformDoes) {
  struct Row {
    int min, max;
    UINT page;
    int pos;
    int wantMax;
    UINT wantPage;
    int wantPos;
    bool bar;
  };
  const Row rows[] = {
      {0, 10, 0, 5, 10, 0, 5, true},    {0, 10, 0, 20, 10, 0, 10, true},  {0, 10, 0, -3, 10, 0, 0, true},
      {0, 10, 4, 9, 10, 4, 7, true},    {0, 10, 20, 5, 10, 11, 0, true},  {5, 2, 0, 9, 5, 0, 5, false},
      {-5, 5, 3, -10, 5, 3, -5, true},  {0, 0, 0, 4, 0, 0, 0, false},
  };
  HWND a = Make(u"A", WS_VISIBLE, 0, 26, 100, 100);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pos);
    SCROLLINFO si{sizeof si, SIF_ALL, r.min, r.max, r.page, r.pos, 0};
    EXPECT_EQ(SetScrollInfo(a, SB_VERT, &si, FALSE), r.wantPos);
    SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(a, SB_VERT, &got));
    EXPECT_EQ(got.nMin, r.min);
    EXPECT_EQ(got.nMax, r.wantMax);
    EXPECT_EQ(got.nPage, r.wantPage);
    EXPECT_EQ(got.nPos, r.wantPos);
    RECT client;
    GetClientRect(a, &client);
    EXPECT_EQ(client.right, r.bar ? 87 : 100);
  }
  // Only the position: the range stays.
  SCROLLINFO pos{sizeof pos, SIF_POS, 0, 0, 0, 2, 0};
  SCROLLINFO range{sizeof range, SIF_RANGE | SIF_POS, 0, 10, 0, 0, 0};
  SetScrollInfo(a, SB_VERT, &range, FALSE);
  EXPECT_EQ(SetScrollInfo(a, SB_VERT, &pos, FALSE), 2);
  EXPECT_EQ(SetScrollInfo(a, SB_HORZ, &pos, FALSE), 0);
  EXPECT_EQ(SetScrollInfo(a, SB_VERT, nullptr, FALSE), 0);
}

TEST_F(PaintTest, ScrollBarControlsGetTheRequestAsAMessage) {
  std::vector<UINT> messages;
  handler = [&](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    if (m == SBM_SETSCROLLINFO || m == SBM_GETSCROLLINFO) {
      messages.push_back(m);
      *handled = true;
      return 42;
    }
    return 0;
  };
  HWND bar = Make(u"bar", 0, 0, 0, 13, 100);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 10, 0, 3, 0};
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &si, TRUE), 42);
  EXPECT_TRUE(GetScrollInfo(bar, SB_CTL, &si));
  EXPECT_EQ(messages, (std::vector<UINT>{SBM_SETSCROLLINFO, SBM_GETSCROLLINFO}));
}

TEST_F(PaintTest, TaskbarShowsTheActiveTitle) {
  HWND taskbar = FindWindowW(u"HHTaskBar", u"");
  ASSERT_NE(taskbar, nullptr);
  RECT r;
  GetWindowRect(taskbar, &r);
  EXPECT_EQ(r.right, 240);
  EXPECT_EQ(r.bottom, 26);
  auto ink = [] {
    int n = 0;
    for (int x = 30; x < 180; ++x)
      for (int y = 0; y < 26; ++y) n += TestScreenPixel(x, y) != kNavy;
    return n;
  };
  Pump();
  EXPECT_EQ(TestScreenPixel(120, 1), kNavy);
  EXPECT_EQ(ink(), 0);
  Make(u"Lumora", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  Pump();
  EXPECT_GT(ink(), 20);
  EXPECT_EQ(GetForegroundWindow(), FindWindowW(u"Probe", u"Lumora"));
  EXPECT_FALSE(SetForegroundWindow(taskbar));
}

}  // namespace
