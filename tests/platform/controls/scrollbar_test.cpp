#include "controls_fixture.h"
#include "platform/backend/testing.h"
#include "platform/canvas.h"
#include "platform/window/shared.h"

namespace {

using controls::kFrame;
using controls::kTrack;

// A bar 13 x 130: arrows 13 high at both ends, the track between (rows 13
// to 116); range 0 to 10 at position 5 puts the 13-pixel thumb at rows 59 to 71.
const SCROLLINFO kInfo{sizeof(SCROLLINFO), SIF_RANGE | SIF_POS | SIF_PAGE, 0, 10, 0, 5, 0};

struct Step {
  int code;
  int pos;
  bool operator==(const Step& o) const { return code == o.code && pos == o.pos; }
};
std::ostream& operator<<(std::ostream& out, const Step& s) { return out << "{" << s.code << ", " << s.pos << "}"; }

struct Gesture {
  const char* name;
  std::vector<int> ys;  // down at the first, moves, up at the last
  std::vector<Step> heard;
};

const Gesture kGestures[] = {
    {"up arrow", {5, 5}, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}},
    {"down arrow", {125, 125}, {{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}},
    {"above the thumb", {30, 30}, {{SB_PAGEUP, 0}, {SB_ENDSCROLL, 0}}},
    {"below the thumb", {100, 100}, {{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}},
    {"arrow held while the pointer wanders", {5, 60, 200, 5}, {{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}},
    {"thumb tapped", {65, 65}, {{SB_THUMBPOSITION, 5}, {SB_ENDSCROLL, 0}}},
    {"thumb one step down and back",
     {65, 74, 65, 65},
     {{SB_THUMBTRACK, 6}, {SB_THUMBTRACK, 5}, {SB_THUMBPOSITION, 5}, {SB_ENDSCROLL, 0}}},
    {"thumb past the bottom", {65, 300, 300}, {{SB_THUMBTRACK, 10}, {SB_THUMBPOSITION, 10}, {SB_ENDSCROLL, 0}}},
    {"thumb past the top", {60, -40, 14}, {{SB_THUMBTRACK, 0}, {SB_THUMBPOSITION, 0}, {SB_ENDSCROLL, 0}}},
};

std::vector<Step> Steps(HWND from) {
  std::vector<Step> out;
  for (const Heard& h : HeardLog())
    if (h.message == WM_VSCROLL && reinterpret_cast<HWND>(h.lParam) == from)
      out.push_back({LOWORD(h.wParam), static_cast<short>(HIWORD(h.wParam))});
  return out;
}

class ScrollBar : public ControlsTest {};

TEST_F(ScrollBar, ControlTapsAndDragsSendTheirCodes) {
  for (const Gesture& g : kGestures) {
    SCOPED_TRACE(g.name);
    HWND bar = Make(u"SCROLLBAR", SBS_VERT, 100, 10, 13, 130, 0);
    SetScrollInfo(bar, SB_CTL, &kInfo, TRUE);
    HeardLog().clear();
    Down(bar, 6, g.ys.front());
    for (size_t i = 1; i + 1 < g.ys.size(); ++i) Move(bar, 6, g.ys[i]);
    Up(bar, 6, g.ys.back());
    EXPECT_EQ(Steps(bar), g.heard);
    EXPECT_NE(GetCapture(), bar);
    DestroyWindow(bar);
  }
}

TEST_F(ScrollBar, WindowBarTracksThroughItsOwnLoop) {
  for (const Gesture& g : kGestures) {
    SCOPED_TRACE(g.name);
    HWND pane = Make(u"ControlsTestParent", WS_VSCROLL, 20, 20, 100, 130, 0);
    POINT origin{0, 0};
    ClientToScreen(pane, &origin);
    RECT bar{origin.x + 100, origin.y, origin.x + 113, origin.y + 130};
    SetScrollInfo(pane, SB_VERT, &kInfo, FALSE);
    // GetScrollInfo may place the range as the core keeps it; the bar's own
    // geometry is what is tested here.
    SCROLLINFO kept{sizeof kept, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(pane, SB_VERT, &kept);
    ASSERT_EQ(kept.nMax, 10);
    for (size_t i = 1; i + 1 < g.ys.size(); ++i)
      PostMessageW(pane, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(106, g.ys[i]));
    PostMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(106, g.ys.back()));
    HeardLog().clear();
    PressWindowScrollBar(pane, &bar, {bar.left + 6, bar.top + g.ys.front()});
    EXPECT_EQ(Steps(nullptr), g.heard);
    EXPECT_NE(GetCapture(), pane);
    DestroyWindow(pane);
  }
}

TEST_F(ScrollBar, MessagesKeepTheRangeAndClampThePosition) {
  HWND bar = Make(u"SCROLLBAR", SBS_VERT | SBS_LEFTALIGN, 100, 10, 13, 130, 0);
  SCROLLINFO in{sizeof in, SIF_RANGE | SIF_POS, 0, 20, 0, 30, 0};
  EXPECT_EQ(SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&in)), 20);
  SCROLLINFO out{sizeof out, SIF_ALL, 0, 0, 0, 0, 0};
  EXPECT_TRUE(SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&out)));
  EXPECT_EQ(out.nMin, 0);
  EXPECT_EQ(out.nMax, 20);
  EXPECT_EQ(out.nPos, 20);
  in = {sizeof in, SIF_PAGE | SIF_POS, 0, 0, 5, 30, 0};
  SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&in));
  SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&out));
  EXPECT_EQ(out.nPage, 5u);
  EXPECT_EQ(out.nPos, 16) << "the last page's first position";
  EXPECT_TRUE(GetScrollInfo(bar, SB_CTL, &out));
  EXPECT_EQ(out.nPos, 16);
  EXPECT_EQ(SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, 0), 16) << "no record";

  in = {sizeof in, SIF_RANGE | SIF_POS | SIF_PAGE, 0, 0, 0, 0, 0};
  SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&in));
  HeardLog().clear();
  for (int y : {5, 60, 125}) Tap(bar, 6, y);
  EXPECT_TRUE(Steps(bar).empty()) << "without a range the bar is inert";
}

// A list box's own bar, pressed and dragged through the headless backend:
// the window system finds the bar and hands the press to its tracking.
TEST_F(ScrollBar, WindowBarByTheUsersInput) {
  HWND list = Make(u"LISTBOX", WS_VSCROLL, 10, 10, 100, 90, 1001);
  for (int i = 0; i < 20; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"item"));
  RECT w{};
  GetWindowRect(list, &w);
  auto pump = [] {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  };
  TestTap(w.right - 6, w.bottom - 5);
  pump();
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1) << "the down arrow";
  // 5 of 20 rows shown: a 16-pixel thumb in the 64-pixel track, at row 16.
  TestInjectInput({InputEvent::kPress, static_cast<int>(w.right - 6), static_cast<int>(w.top + 20)});
  TestInjectInput({InputEvent::kMove, static_cast<int>(w.right - 6), static_cast<int>(w.top + 40)});
  TestInjectInput({InputEvent::kMove, static_cast<int>(w.right - 30), static_cast<int>(w.bottom + 60)});
  TestInjectInput({InputEvent::kRelease, static_cast<int>(w.right - 30), static_cast<int>(w.bottom + 60)});
  pump();
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 15) << "dragged to the end";
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(ScrollBarLook, ArrowsTrackAndThumb) {
  Canvas canvas(13, 130);
  RECT bar{0, 0, 13, 130};
  PaintWindowScrollBar(nullptr, canvas.dc(), &bar, &kInfo);
  EXPECT_EQ(canvas.At(6, 12), kFrame) << "the up arrow's box";
  EXPECT_EQ(canvas.At(6, 5), kFrame) << "its triangle";
  EXPECT_EQ(canvas.At(6, 30), kTrack);
  EXPECT_EQ(canvas.At(6, 58), kTrack);
  EXPECT_EQ(canvas.At(6, 59), kFrame) << "the thumb's top";
  EXPECT_EQ(canvas.At(6, 71), kFrame) << "the thumb's bottom";
  EXPECT_EQ(canvas.At(6, 72), kTrack);
  EXPECT_EQ(canvas.At(0, 40), kFrame) << "the bar's outline";
  SCROLLINFO none = kInfo;
  none.nMax = 0;
  none.nPos = 0;
  PaintWindowScrollBar(nullptr, canvas.dc(), &bar, &none);
  EXPECT_EQ(canvas.At(6, 65), kTrack) << "no thumb without a range";
  EXPECT_EQ(canvas.At(6, 5), controls::kGrayText) << "grey arrows";
}

}  // namespace
