// Shapes, lines, pixels and blits, probed pixel by pixel on small bitmaps.
#include <gtest/gtest.h>

#include <climits>

#include "canvas.h"
#include "case_name.h"
#include "platform/screen.h"
#include "platform/testing.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
const std::map<COLORREF, char> kLegend = {{kBlack, '#'}, {kRed, 'r'}, {kBlue, 'b'}};

using Picture = std::vector<std::string>;

struct FillCase {
  const char* name;
  RECT rect;
  Picture expected;  // 6 x 4
};

class FillRectCases : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillRectCases, PaintsTheRectangleClippedToTheBitmap) {
  const FillCase& c = GetParam();
  Canvas canvas(6, 4);
  HBRUSH red = CreateSolidBrush(kRed);
  EXPECT_NE(FillRect(canvas.dc(), &c.rect, red), 0);
  EXPECT_EQ(canvas.Picture(kLegend), c.expected);
  DeleteObject(red);
}

INSTANTIATE_TEST_SUITE_P(
    Draw, FillRectCases,
    ::testing::Values(
        FillCase{"inside", {1, 1, 4, 3}, {"......", ".rrr..", ".rrr..", "......"}},
        FillCase{"one pixel", {5, 3, 6, 4}, {"......", "......", "......", ".....r"}},
        FillCase{"over the edges", {-3, 2, 100, 9}, {"......", "......", "rrrrrr", "rrrrrr"}},
        FillCase{"huge", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {"rrrrrr", "rrrrrr", "rrrrrr", "rrrrrr"}},
        FillCase{"inverted", {4, 3, 1, 1}, {"......", "......", "......", "......"}},
        FillCase{"empty", {2, 2, 2, 4}, {"......", "......", "......", "......"}},
        FillCase{"wholly outside", {-10, -10, 0, 0}, {"......", "......", "......", "......"}}),
    ByCaseName());

TEST(Draw, FillRectWithTheNullBrushDrawsNothingAndAForeignBrushIsRefused) {
  Canvas canvas(3, 3);
  RECT all{0, 0, 3, 3};
  EXPECT_NE(FillRect(canvas.dc(), &all, GetStockObject(NULL_BRUSH)), 0);
  EXPECT_EQ(canvas.Count(kWhite), 9);
  EXPECT_EQ(FillRect(canvas.dc(), &all, GetStockObject(BLACK_PEN)), 0) << "a pen is not a brush";
  EXPECT_EQ(FillRect(canvas.dc(), &all, reinterpret_cast<HBRUSH>(0x1234)), 0);
  EXPECT_EQ(FillRect(canvas.dc(), nullptr, GetStockObject(BLACK_BRUSH)), 0);
  EXPECT_EQ(canvas.Count(kWhite), 9);
}

struct RectangleCase {
  const char* name;
  int pen;    // stock object
  int brush;  // stock object
  RECT rect;
  Picture expected;  // 8 x 6; the brush is the black one, the pen black or null
};

class RectangleCases : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(RectangleCases, OutlineWithThePenInsideWithTheBrush) {
  const RectangleCase& c = GetParam();
  Canvas canvas(8, 6);
  HPEN red = CreatePen(PS_SOLID, 0, kRed);
  HGDIOBJ oldPen = SelectObject(canvas.dc(), c.pen == BLACK_PEN ? red : GetStockObject(c.pen));
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), GetStockObject(c.brush));
  EXPECT_TRUE(Rectangle(canvas.dc(), c.rect.left, c.rect.top, c.rect.right, c.rect.bottom));
  EXPECT_EQ(canvas.Picture(kLegend), c.expected);
  SelectObject(canvas.dc(), oldPen);
  SelectObject(canvas.dc(), oldBrush);
  DeleteObject(red);
}

// BLACK_PEN in a row stands for a red pen, so that outline and inside differ.
INSTANTIATE_TEST_SUITE_P(
    Draw, RectangleCases,
    ::testing::Values(
        RectangleCase{"pen and brush", BLACK_PEN, BLACK_BRUSH, {1, 1, 6, 5},
                      {"........", ".rrrrr..", ".r###r..", ".r###r..", ".rrrrr..", "........"}},
        RectangleCase{"inverted corners", BLACK_PEN, BLACK_BRUSH, {6, 5, 1, 1},
                      {"........", ".rrrrr..", ".r###r..", ".r###r..", ".rrrrr..", "........"}},
        RectangleCase{"null brush", BLACK_PEN, NULL_BRUSH, {1, 1, 6, 5},
                      {"........", ".rrrrr..", ".r...r..", ".r...r..", ".rrrrr..", "........"}},
        RectangleCase{"null pen", NULL_PEN, BLACK_BRUSH, {1, 1, 6, 5},
                      {"........", ".####...", ".####...", ".####...", "........", "........"}},
        RectangleCase{"neither", NULL_PEN, NULL_BRUSH, {1, 1, 6, 5},
                      {"........", "........", "........", "........", "........", "........"}},
        RectangleCase{"one pixel high: a rule", BLACK_PEN, BLACK_BRUSH, {2, 3, 7, 4},
                      {"........", "........", "........", "..rrrrr.", "........", "........"}},
        RectangleCase{"over the edges", BLACK_PEN, BLACK_BRUSH, {-2, 2, 20, 40},
                      {"........", "........", "rrrrrrrr", "########", "########", "########"}},
        RectangleCase{"huge", BLACK_PEN, BLACK_BRUSH, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                      {"########", "########", "########", "########", "########", "########"}},
        RectangleCase{"empty", BLACK_PEN, BLACK_BRUSH, {3, 3, 3, 5},
                      {"........", "........", "........", "........", "........", "........"}}),
    ByCaseName());

struct LineCase {
  const char* name;
  POINT from, to;
  Picture expected;  // 6 x 5
};

class LineCases : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineCases, DrawsUpToTheEndPointWithoutIt) {
  const LineCase& c = GetParam();
  Canvas canvas(6, 5);
  POINT previous{};
  MoveToEx(canvas.dc(), 99, 99, nullptr);
  EXPECT_TRUE(MoveToEx(canvas.dc(), c.from.x, c.from.y, &previous));
  EXPECT_EQ(previous.x, 99);
  EXPECT_TRUE(LineTo(canvas.dc(), c.to.x, c.to.y));
  EXPECT_EQ(canvas.Picture(kLegend), c.expected);
  MoveToEx(canvas.dc(), 0, 0, &previous);
  EXPECT_EQ(previous.x, c.to.x) << "the line moves the current position to its end";
  EXPECT_EQ(previous.y, c.to.y);
}

INSTANTIATE_TEST_SUITE_P(
    Draw, LineCases,
    ::testing::Values(
        LineCase{"right", {1, 1}, {5, 1}, {"......", ".####.", "......", "......", "......"}},
        LineCase{"left", {5, 1}, {1, 1}, {"......", "..####", "......", "......", "......"}},
        LineCase{"down", {2, 0}, {2, 3}, {"..#...", "..#...", "..#...", "......", "......"}},
        LineCase{"diagonal", {0, 0}, {4, 4}, {"#.....", ".#....", "..#...", "...#..", "......"}},
        LineCase{"shallow", {0, 0}, {4, 2}, {"#.....", ".##...", "...#..", "......", "......"}},
        LineCase{"up steep", {1, 4}, {3, 0}, {"......", "...#..", "..#...", "..#...", ".#...."}},
        LineCase{"a point", {3, 3}, {3, 3}, {"......", "......", "......", "......", "......"}},
        LineCase{"across from far away", {INT_MIN, 2}, {INT_MAX, 2},
                 {"......", "......", "######", "......", "......"}},
        LineCase{"far diagonal", {-1000000000, -1000000000}, {1000000000, 1000000000},
                 {"#.....", ".#....", "..#...", "...#..", "....#."}},
        LineCase{"far away, missing", {-2000000000, -5}, {2000000000, -7},
                 {"......", "......", "......", "......", "......"}}),
    ByCaseName());

TEST(Draw, TheNullPenMovesWithoutDrawing) {
  Canvas canvas(4, 4);
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  MoveToEx(canvas.dc(), 0, 1, nullptr);
  LineTo(canvas.dc(), 4, 1);
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  LineTo(canvas.dc(), 4, 3);
  EXPECT_EQ(canvas.Picture(kLegend), (Picture{"....", "....", "....", "...."}))
      << "the black line runs in column 4, outside the bitmap";
  LineTo(canvas.dc(), 0, 3);
  EXPECT_EQ(canvas.Picture(kLegend), (Picture{"....", "....", "....", ".###"}));
}

TEST(Draw, PixelsInsideAreSetAndReadOutsideAreInvalid) {
  Canvas canvas(3, 2);
  struct Case {
    int x, y;
    bool inside;
  } cases[] = {{0, 0, true}, {2, 1, true}, {3, 0, false}, {0, 2, false},
               {-1, 0, false}, {INT_MAX, INT_MAX, false}, {INT_MIN, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    COLORREF set = SetPixel(canvas.dc(), c.x, c.y, 0x12345678);
    if (!c.inside) {
      EXPECT_EQ(set, CLR_INVALID);
      EXPECT_EQ(GetPixel(canvas.dc(), c.x, c.y), CLR_INVALID);
      continue;
    }
    EXPECT_EQ(set, 0x345678u) << "the top byte of a colour is not a colour";
    EXPECT_EQ(GetPixel(canvas.dc(), c.x, c.y), 0x345678u);
  }
  EXPECT_EQ(canvas.Count(0x345678), 2);
}

// A source whose pixels say where they are: red x * 10, green y * 10.
COLORREF Marker(int x, int y) { return RGB(x * 10, y * 10, 100); }

void PaintMarkers(const Canvas& c) {
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) SetPixel(c.dc(), x, y, Marker(x, y));
}

struct BlitCase {
  const char* name;
  int x, y, w, h, sx, sy, sw, sh;  // sw == 0: BitBlt
  // Each destination pixel of the 4 x 4 target: the source pixel "x,y" it
  // shows, or "." where the white ground stays.
  std::vector<std::vector<const char*>> expected;
};

class BlitCases : public ::testing::TestWithParam<BlitCase> {};

TEST_P(BlitCases, CopiesTheNearestSourcePixel) {
  const BlitCase& c = GetParam();
  Canvas source(4, 4), dest(4, 4);
  PaintMarkers(source);
  BOOL done = c.sw == 0 ? BitBlt(dest.dc(), c.x, c.y, c.w, c.h, source.dc(), c.sx, c.sy, SRCCOPY)
                        : StretchBlt(dest.dc(), c.x, c.y, c.w, c.h, source.dc(), c.sx, c.sy, c.sw,
                                     c.sh, SRCCOPY);
  EXPECT_TRUE(done);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      SCOPED_TRACE(testing::Message() << "destination " << x << "," << y);
      std::string want = c.expected[y][x];
      if (want == ".") {
        EXPECT_EQ(dest.At(x, y), kWhite);
        continue;
      }
      int sx = want[0] - '0', sy = want[2] - '0';
      EXPECT_EQ(dest.At(x, y), Marker(sx, sy)) << "want source " << want;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Draw, BlitCases,
    ::testing::Values(
        BlitCase{"copy with offset", 1, 2, 2, 2, 2, 1, 0, 0,
                 {{".", ".", ".", "."}, {".", ".", ".", "."}, {".", "2,1", "3,1", "."},
                  {".", "2,2", "3,2", "."}}},
        BlitCase{"copy over the destination edge", 3, 3, 4, 4, 0, 0, 0, 0,
                 {{".", ".", ".", "."}, {".", ".", ".", "."}, {".", ".", ".", "."},
                  {".", ".", ".", "0,0"}}},
        BlitCase{"source partly outside", 0, 0, 2, 2, 3, -1, 0, 0,
                 {{".", ".", ".", "."}, {"3,0", ".", ".", "."}, {".", ".", ".", "."},
                  {".", ".", ".", "."}}},
        BlitCase{"stretch double", 0, 0, 4, 4, 1, 1, 2, 2,
                 {{"1,1", "1,1", "2,1", "2,1"}, {"1,1", "1,1", "2,1", "2,1"},
                  {"1,2", "1,2", "2,2", "2,2"}, {"1,2", "1,2", "2,2", "2,2"}}},
        BlitCase{"shrink half", 0, 0, 2, 2, 0, 0, 4, 4,
                 {{"1,1", "3,1", ".", "."}, {"1,3", "3,3", ".", "."}, {".", ".", ".", "."},
                  {".", ".", ".", "."}}},
        BlitCase{"mirror", 0, 0, 4, 1, 4, 0, -4, 1,
                 {{"3,0", "2,0", "1,0", "0,0"}, {".", ".", ".", "."}, {".", ".", ".", "."},
                  {".", ".", ".", "."}}},
        BlitCase{"huge destination", INT_MIN / 2, 0, INT_MAX, 1, 0, 0, 1, 1,
                 {{"0,0", "0,0", "0,0", "0,0"}, {".", ".", ".", "."}, {".", ".", ".", "."},
                  {".", ".", ".", "."}}}),
    ByCaseName());

TEST(Draw, BlitWithinOneBitmapReadsBeforeItWrites) {
  Canvas canvas(4, 1);
  PaintMarkers(canvas);
  EXPECT_TRUE(BitBlt(canvas.dc(), 1, 0, 3, 1, canvas.dc(), 0, 0, SRCCOPY));
  for (int x = 1; x < 4; ++x) EXPECT_EQ(canvas.At(x, 0), Marker(x - 1, 0)) << x;
}

TEST(Draw, BlitRefusesOtherOperationsAndForeignContexts) {
  Canvas a(2, 2), b(2, 2);
  EXPECT_FALSE(BitBlt(a.dc(), 0, 0, 2, 2, b.dc(), 0, 0, 0x00EE0086));
  EXPECT_FALSE(BitBlt(a.dc(), 0, 0, 2, 2, reinterpret_cast<HDC>(0x40), 0, 0, SRCCOPY));
  EXPECT_FALSE(StretchBlt(nullptr, 0, 0, 2, 2, b.dc(), 0, 0, 1, 1, SRCCOPY));
}

class ScreenDrawing : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ScreenResize(40, 30)); }
  void TearDown() override { ScreenResize(240, 320); }
};

TEST_F(ScreenDrawing, TheScreenStartsWhiteAndTakesItsDefaultSizeBack) {
  ScreenResize(240, 320);
  EXPECT_EQ(TestScreenWidth(), 240);
  EXPECT_EQ(TestScreenHeight(), 320);
  for (POINT p : {POINT{0, 0}, POINT{239, 319}, POINT{120, 160}})
    EXPECT_EQ(TestScreenPixel(p.x, p.y), kWhite);
  EXPECT_EQ(TestScreenPixel(240, 0), CLR_INVALID);
  EXPECT_FALSE(ScreenResize(0, 10));
  EXPECT_EQ(TestScreenWidth(), 240);
}

TEST_F(ScreenDrawing, GetDcOfNoWindowCoversTheScreen) {
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  uint64_t before = ScreenChanges();
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  FillRect(dc, &huge, GetStockObject(BLACK_BRUSH));
  EXPECT_GT(ScreenChanges(), before);
  EXPECT_EQ(TestScreenPixel(0, 0), kBlack);
  EXPECT_EQ(TestScreenPixel(39, 29), kBlack);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 40);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0) << "released once only";
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x500)), nullptr) << "no window system yet";
}

TEST_F(ScreenDrawing, AnAreaContextDrawsFromItsCornerAndStaysInside) {
  RECT area{10, 5, 20, 12};
  RECT clip{0, 0, 18, 30};
  HDC dc = CreateScreenDC(area, &clip);
  ASSERT_NE(dc, nullptr);
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  FillRect(dc, &huge, GetStockObject(BLACK_BRUSH));
  SetPixel(dc, 0, 0, kRed);
  EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
  EXPECT_EQ(GetPixel(dc, 8, 0), CLR_INVALID) << "clipped away";
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      bool inside = x >= 10 && x < 18 && y >= 5 && y < 12;
      COLORREF want = x == 10 && y == 5 ? kRed : inside ? kBlack : kWhite;
      ASSERT_EQ(TestScreenPixel(x, y), want) << x << "," << y;
    }
  }
  RECT moved{0, 0, 2, 2};
  EXPECT_TRUE(SetScreenDCArea(dc, moved, nullptr));
  SetPixel(dc, 1, 1, kBlue);
  EXPECT_EQ(TestScreenPixel(1, 1), kBlue);
  EXPECT_EQ(SetPixel(dc, 2, 2, kBlue), CLR_INVALID);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(ScreenDrawing, GetDcOfAWindowAsksTheWindowSystemForItsArea) {
  SetWindowAreaProc([](HWND window, RECT* area, RECT* clip) {
    if (window != reinterpret_cast<HWND>(0x600)) return false;
    *area = {5, 6, 15, 16};
    *clip = {0, 0, 12, 100};
    return true;
  });
  HDC dc = GetDC(reinterpret_cast<HWND>(0x600));
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x700)), nullptr);
  RECT all{0, 0, 10, 10};
  FillRect(dc, &all, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(TestScreenPixel(5, 6), kBlack);
  EXPECT_EQ(TestScreenPixel(11, 15), kBlack);
  EXPECT_EQ(TestScreenPixel(12, 6), kWhite) << "clipped";
  EXPECT_EQ(TestScreenPixel(4, 6), kWhite);
  EXPECT_EQ(TestScreenPixel(5, 16), kWhite);
  EXPECT_EQ(ReleaseDC(reinterpret_cast<HWND>(0x600), dc), 1);
  SetWindowAreaProc(nullptr);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x600)), nullptr);
}

TEST_F(ScreenDrawing, ContextsFollowTheScreenWhenItChangesSize) {
  HDC dc = GetDC(nullptr);
  ASSERT_TRUE(ScreenResize(8, 8));
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  FillRect(dc, &huge, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(TestScreenPixel(7, 7), kBlack);
  EXPECT_EQ(TestScreenPixel(8, 0), CLR_INVALID);
  ReleaseDC(nullptr, dc);
}

}  // namespace
