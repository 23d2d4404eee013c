// The two panes on the screen: where the views, the scroll bars, the red
// line and the pale band go in either bar mode, with and without a gutter,
// at every ratio of the lower pane.
#include <string>
#include <vector>

#include "reader_fixture.h"

namespace {

struct Box {
  LONG left, top, width, height;
};

Box BoxOf(const ArticleView* v) { return {v->left, v->top, v->width, v->height}; }
Box BoxOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

bool operator==(const Box& a, const Box& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

// The rows of the client area that hold a pure red pixel at x.
std::vector<int> RedRows(int x, int from, int to) {
  std::vector<int> rows;
  for (int y = from; y < to; ++y)
    if (Reader::At(x, y) == kRed) rows.push_back(y);
  return rows;
}

// The red line across the whole width, the band under it with nothing but
// band in its first two rows and in the gutter, and a band pixel in every
// row down to its last.
void ExpectLineAndBand(int top, int red, int bandFirst, int bandLast, int gutter) {
  for (int x = 0; x < 240; ++x) ASSERT_EQ(Reader::At(x, red), kRed) << "the red line at x " << x;
  EXPECT_EQ(RedRows(0, top, bandLast + 1), std::vector<int>{red}) << "no other red line on the left";
  EXPECT_EQ(RedRows(200, top, bandLast + 1), std::vector<int>{red}) << "no other red line on the right";
  for (int x = 0; x < 227; ++x) {
    ASSERT_EQ(Reader::At(x, bandFirst), kBand) << "x " << x;
    ASSERT_EQ(Reader::At(x, bandFirst + 1), kBand) << "x " << x;
  }
  for (int y = bandFirst; y <= bandLast; ++y) {
    int band = 0;
    for (int x = 0; x < 227; ++x) band += Reader::At(x, y) == kBand;
    ASSERT_GT(band, 0) << "row " << y;
    for (int x = 0; x < gutter; ++x) ASSERT_EQ(Reader::At(x, y), kBand) << "gutter at " << x << "," << y;
  }
}

}  // namespace

// The worked example (command bar, no gutter), its menu-bar twin, and both
// with a gutter of 4. Coordinates are the main window's client's.
TEST_F(Reader, PanesScrollBarsLineAndBandSitWhereTheLayoutPutsThem) {
  struct Row {
    const char* name;
    bool commandBar;
    int gutter;
    Box main, lower, mainBar, lowerBar;
    int red, bandFirst, bandLast;
  } rows[] = {
      {"command bar", true, 0, {0, 26, 227, 132}, {0, 161, 227, 133}, {227, 24, 13, 134}, {227, 159, 13, 135},
       158, 159, 293},
      {"menu bar", false, 0, {0, 0, 227, 132}, {0, 135, 227, 133}, {227, -2, 13, 134}, {227, 133, 13, 135},
       132, 133, 267},
      {"command bar, gutter 4", true, 4, {4, 30, 219, 128}, {4, 163, 219, 129}, {227, 24, 13, 134},
       {227, 159, 13, 135}, 158, 159, 293},
      {"menu bar, gutter 4", false, 4, {4, 4, 219, 128}, {4, 137, 219, 129}, {227, -2, 13, 134},
       {227, 133, 13, 135}, 132, 133, 267},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    PutSwitch(u"SurroundingGutter", static_cast<DWORD>(r.gutter));
    UseCommandBar(r.commandBar);
    int code = Run({[&] {
      RECT client{};
      GetClientRect(MainWindow, &client);
      EXPECT_EQ(BoxOf(client), (Box{0, 0, 240, 294}));
      EXPECT_EQ(MenuBarMode, !r.commandBar);
      EXPECT_EQ(MenuBarHeight, 26);
      EXPECT_EQ(SurroundingGutter, r.gutter);
      EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 13);
      EXPECT_EQ(BoxOf(Reader::InClient(MenuBarWindow)), r.commandBar ? (Box{0, 0, 240, 26}) : (Box{0, 268, 240, 26}));
      EXPECT_EQ(BoxOf(MainView), r.main);
      EXPECT_EQ(BoxOf(CommentaryView), r.lower);
      EXPECT_EQ(BoxOf(InClient(MainScrollBar)), r.mainBar);
      EXPECT_EQ(BoxOf(InClient(CommentaryScrollBar)), r.lowerBar);
      ExpectLineAndBand(r.commandBar ? 26 : 0, r.red, r.bandFirst, r.bandLast, r.gutter);
      // The gutter beside the upper pane stays white.
      for (int y = r.main.top; y < r.main.top + r.main.height; ++y)
        for (int x = 0; x < r.gutter; ++x) ASSERT_EQ(At(x, y), kWhite) << x << "," << y;
      if (r.commandBar && r.gutter == 0) SaveForDocs("reader-commandbar.png");
    }});
    EXPECT_EQ(code, 0);
  }
}

// Each ratio command lays the panes out again with the remembered client
// size, repaints them and moves the radio mark; "&None" keeps the lower
// view's last size below the visible area.
TEST_F(Reader, EveryRatioOfTheLowerPane) {
  struct Row {
    UINT command;
    int mainHeight, lowerTop, lowerHeight, red, mainBarHeight, lowerBarTop, lowerBarHeight;
  } rows[] = {
      // Offsets from the top of the available height; it is 268 high.
      {IDM_RATIO_1_4, 199, 202, 66, 199, 201, 200, 68},
      {IDM_RATIO_1_3, 177, 180, 88, 177, 179, 178, 90},
      {IDM_RATIO_2_3, 88, 91, 177, 88, 90, 89, 179},
      {IDM_RATIO_3_4, 65, 68, 200, 65, 67, 66, 202},
      {IDM_RATIO_NONE, 266, 269, 200, 266, 268, 267, 202},
      {IDM_RATIO_1_2, 132, 135, 133, 132, 134, 133, 135},
  };
  const UINT ratios[] = {IDM_RATIO_1_4, IDM_RATIO_1_3, IDM_RATIO_1_2, IDM_RATIO_2_3, IDM_RATIO_3_4, IDM_RATIO_NONE};
  for (bool commandBar : {true, false}) {
    SCOPED_TRACE(commandBar ? "command bar" : "menu bar");
    UseCommandBar(commandBar);
    const int t = commandBar ? 26 : 0;
    std::vector<Step> steps;
    for (const Row& r : rows) {
      steps.push_back([&r] { TestCommand(r.command); });
      steps.push_back([&r, &ratios, t] {
        SCOPED_TRACE(r.command);
        EXPECT_EQ(BottomSection, static_cast<LONG>(r.command - 400));
        for (UINT c : ratios) EXPECT_EQ(Checked(c), c == r.command) << c;
        EXPECT_EQ(BoxOf(MainView), (Box{0, t, 227, r.mainHeight}));
        EXPECT_EQ(BoxOf(CommentaryView), (Box{0, t + r.lowerTop, 227, r.lowerHeight}));
        EXPECT_EQ(BoxOf(InClient(MainScrollBar)), (Box{227, t - 2, 13, r.mainBarHeight}));
        EXPECT_EQ(BoxOf(InClient(CommentaryScrollBar)), (Box{227, t + r.lowerBarTop, 13, r.lowerBarHeight}));
        int bandLast = t + 267;
        if (r.command == IDM_RATIO_NONE) {
          // One row of band, right under the line.
          for (int x = 0; x < 240; ++x) ASSERT_EQ(At(x, t + r.red), kRed) << x;
          for (int x = 0; x < 227; ++x) ASSERT_EQ(At(x, bandLast), kBand) << x;
          EXPECT_EQ(RedRows(0, t, bandLast), std::vector<int>{t + r.red});
        } else {
          ExpectLineAndBand(t, t + r.red, t + r.red + 1, bandLast, 0);
        }
      });
    }
    EXPECT_EQ(Run(steps), 0);
    EXPECT_EQ(StoredNumber(u"BottomSection"), 12);
  }
}

// The ratio already chosen changes nothing: no new layout, nothing painted.
TEST_F(Reader, TheCurrentRatioCommandDoesNothing) {
  uint64_t presents = 0;
  int barMoves = 0;
  Watch([&](HWND window, UINT message, WPARAM, LPARAM) {
    if (window != nullptr && (window == MainScrollBar || window == CommentaryScrollBar) &&
        (message == WM_WINDOWPOSCHANGED || message == WM_SIZE || message == WM_MOVE))
      ++barMoves;
  });
  int code = Run({
      [&] {
        presents = TestPresentCount();
        barMoves = 0;
        TestCommand(IDM_RATIO_1_2);
      },
      [&] {
        EXPECT_EQ(TestPresentCount(), presents) << "something was painted";
        EXPECT_EQ(barMoves, 0) << "the scroll bars were laid out again";
        EXPECT_EQ(BottomSection, 12);
        EXPECT_TRUE(Checked(IDM_RATIO_1_2));
        TestCommand(IDM_RATIO_1_3);
      },
      [&] {
        EXPECT_GT(TestPresentCount(), presents) << "another ratio is painted";
        EXPECT_GT(barMoves, 0) << "another ratio moves the scroll bars";
        presents = TestPresentCount();
        barMoves = 0;
        TestCommand(IDM_RATIO_1_3);
      },
      [&] {
        EXPECT_EQ(TestPresentCount(), presents);
        EXPECT_EQ(barMoves, 0);
        EXPECT_TRUE(Checked(IDM_RATIO_1_3));
      },
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredNumber(u"BottomSection"), 13);
}
