// Text with the built-in face "Test Fixed", whose metrics and box glyphs
// gdi.h defines, so every position here is exact.
#include <gtest/gtest.h>

#include <climits>

#include "canvas.h"
#include "case_name.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct MetricsCase {
  const char* name;
  LONG height;
  LONG weight;
  LONG cell, ascent, descent, advance;
};

class TestFixedMetrics : public ::testing::TestWithParam<MetricsCase> {};

TEST_P(TestFixedMetrics, FollowTheCellHeight) {
  const MetricsCase& c = GetParam();
  Canvas canvas(1, 1);
  ScopedFont font(canvas.dc(), u"Test Fixed", c.height, c.weight);
  TEXTMETRICW tm = font.Metrics();
  EXPECT_EQ(tm.tmHeight, c.cell);
  EXPECT_EQ(tm.tmAscent, c.ascent);
  EXPECT_EQ(tm.tmDescent, c.descent);
  EXPECT_EQ(tm.tmAveCharWidth, c.advance);
  EXPECT_EQ(tm.tmMaxCharWidth, c.advance);
  EXPECT_EQ(tm.tmInternalLeading, 0);
  EXPECT_EQ(tm.tmCharSet, HEBREW_CHARSET);
  EXPECT_EQ(tm.tmWeight, c.weight);
  EXPECT_EQ(font.Face(), u"Test Fixed");
  for (char16_t ch : {u'a', u' ', u'\u05D0', u'&', u'\uFFFF'}) {
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), &ch, 1, &size));
    EXPECT_EQ(size.cx, c.advance) << static_cast<int>(ch);
    EXPECT_EQ(size.cy, c.cell);
  }
}

INSTANTIATE_TEST_SUITE_P(Text, TestFixedMetrics,
                         ::testing::Values(MetricsCase{"default", 0, FW_NORMAL, 16, 12, 4, 8},
                                           MetricsCase{"cell 12", 12, FW_NORMAL, 12, 9, 3, 6},
                                           MetricsCase{"em 12", -12, FW_NORMAL, 12, 9, 3, 6},
                                           MetricsCase{"cell 24", 24, FW_NORMAL, 24, 18, 6, 12},
                                           MetricsCase{"bold 13", 13, FW_BOLD, 13, 10, 3, 6},
                                           MetricsCase{"cell 1", 1, FW_NORMAL, 1, 1, 0, 1}),
                         ByCaseName());

TEST(Text, FontNamesAreMatchedWithoutCaseAndAbsurdHeightsRefused) {
  Canvas canvas(1, 1);
  ScopedFont font(canvas.dc(), u"tEST fIXED", 10);
  EXPECT_EQ(font.Face(), u"Test Fixed");
  LOGFONTW lf{};
  for (LONG height : {LONG{INT_MIN}, LONG{-100000}, LONG{100000}}) {
    lf.lfHeight = height;
    EXPECT_EQ(CreateFontIndirectW(&lf), nullptr) << height;
  }
  EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
}

TEST(Text, GetObjectGivesTheDescriptionBack) {
  Canvas canvas(1, 1);
  ScopedFont font(canvas.dc(), u"Test Fixed", -11, 800);
  LOGFONTW lf{};
  EXPECT_EQ(GetObjectW(font.font(), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWeight, 800);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"Test Fixed");
}

struct ExtentCase {
  const char* name;
  int maxExtent;
  int fit;
};

class Extents : public ::testing::TestWithParam<ExtentCase> {};

// "abcdef" in a 10-pixel cell: every character 5 pixels.
TEST_P(Extents, FitCountsCharactersWhoseEndIsWithinTheLimit) {
  const ExtentCase& c = GetParam();
  Canvas canvas(1, 1);
  ScopedFont font(canvas.dc(), u"Test Fixed", 10);
  int fit = -1, dx[6] = {};
  SIZE size{};
  ASSERT_TRUE(GetTextExtentExPointW(canvas.dc(), u"abcdef", 6, c.maxExtent, &fit, dx, &size));
  EXPECT_EQ(fit, c.fit);
  EXPECT_EQ(size.cx, 30) << "the whole run, not the part that fits";
  EXPECT_EQ(size.cy, 10);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dx[i], 5 * (i + 1)) << i;
}

INSTANTIATE_TEST_SUITE_P(Text, Extents,
                         ::testing::Values(ExtentCase{"no room", 0, 0}, ExtentCase{"negative", -1, 0},
                                           ExtentCase{"just short of one", 4, 0},
                                           ExtentCase{"exactly one", 5, 1},
                                           ExtentCase{"just short of three", 14, 2},
                                           ExtentCase{"exactly three", 15, 3},
                                           ExtentCase{"exactly all", 30, 6},
                                           ExtentCase{"plenty", INT_MAX, 6}),
                         ByCaseName());

TEST(Text, ExtentsOfNothingAndOfBadArguments) {
  Canvas canvas(1, 1);
  ScopedFont font(canvas.dc(), u"Test Fixed", 10);
  int fit = -1;
  SIZE size{-1, -1};
  EXPECT_TRUE(GetTextExtentExPointW(canvas.dc(), u"", 0, 100, &fit, nullptr, &size));
  EXPECT_EQ(fit, 0);
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 10);
  EXPECT_TRUE(GetTextExtentExPointW(canvas.dc(), nullptr, 0, 100, nullptr, nullptr, &size));
  EXPECT_FALSE(GetTextExtentExPointW(canvas.dc(), nullptr, 3, 100, &fit, nullptr, &size));
  EXPECT_FALSE(GetTextExtentExPointW(canvas.dc(), u"abc", -1, 100, &fit, nullptr, &size));
  EXPECT_FALSE(GetTextExtentExPointW(nullptr, u"abc", 3, 100, &fit, nullptr, &size));
  EXPECT_TRUE(GetTextExtentExPointW(canvas.dc(), u"abc", 3, 7, nullptr, nullptr, nullptr))
      << "every output is optional";
}

struct AlignCase {
  const char* name;
  RECT rect;
  UINT format;
  RECT ink;  // of "ab" in an 8-pixel cell: 4 pixels a character, boxes 3 x 6
};

class DrawTextAlignment : public ::testing::TestWithParam<AlignCase> {};

TEST_P(DrawTextAlignment, PlacesTheTextBoxInTheRectangle) {
  const AlignCase& c = GetParam();
  Canvas canvas(32, 20);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT rect = c.rect;
  EXPECT_EQ(DrawTextW(canvas.dc(), u"ab", -1, &rect, c.format), 8);
  EXPECT_EQ(canvas.Ink(), c.ink);
  EXPECT_EQ(rect, c.rect) << "drawing leaves the rectangle alone";
}

INSTANTIATE_TEST_SUITE_P(
    Text, DrawTextAlignment,
    ::testing::Values(
        AlignCase{"top left", {2, 1, 22, 13}, DT_LEFT | DT_SINGLELINE, {2, 2, 9, 8}},
        AlignCase{"centre", {2, 1, 22, 13}, DT_CENTER | DT_SINGLELINE, {8, 2, 15, 8}},
        AlignCase{"centre, odd room", {2, 1, 23, 13}, DT_CENTER | DT_SINGLELINE, {8, 2, 15, 8}},
        AlignCase{"right", {2, 1, 22, 13}, DT_RIGHT | DT_SINGLELINE, {14, 2, 21, 8}},
        AlignCase{"middle", {2, 1, 22, 13}, DT_VCENTER | DT_SINGLELINE, {2, 4, 9, 10}},
        AlignCase{"bottom", {2, 1, 22, 13}, DT_BOTTOM | DT_SINGLELINE, {2, 6, 9, 12}},
        AlignCase{"middle only with a single line", {2, 1, 22, 13}, DT_VCENTER, {2, 2, 9, 8}},
        AlignCase{"the box exactly", {5, 3, 13, 11}, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                  {5, 4, 12, 10}},
        AlignCase{"wider than the room: clipped", {10, 0, 14, 8},
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE, {10, 1, 14, 7}},
        AlignCase{"wider than the room, no clip", {10, 0, 14, 8},
                  DT_CENTER | DT_SINGLELINE | DT_NOCLIP, {8, 1, 15, 7}}),
    ByCaseName());

TEST(Text, DrawTextCentresARunWiderThanItsBoxAboutTheBox) {
  Canvas canvas(32, 10);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT rect{10, 0, 14, 8};  // "abcd" is 16 wide: it starts (4 - 16) / 2 = -6 from the left
  DrawTextW(canvas.dc(), u"abcd", 4, &rect, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(canvas.Ink(), (RECT{4, 1, 19, 7}));
}

TEST(Text, CalcRectMeasuresWithoutDrawing) {
  Canvas canvas(8, 8);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  struct Case {
    const char16_t* text;
    UINT format;
    LONG right, bottom;
    int height;
  } cases[] = {
      {u"abc", DT_SINGLELINE, 3 + 12, 4 + 8, 8},
      {u"abc", DT_SINGLELINE | DT_CENTER | DT_VCENTER, 3 + 12, 4 + 8, 8},
      {u"&abc", DT_SINGLELINE, 3 + 12, 4 + 8, 8},
      {u"&abc", DT_SINGLELINE | DT_NOPREFIX, 3 + 16, 4 + 8, 8},
      {u"a&&b", 0, 3 + 12, 4 + 8, 8},
      {u"ab\nabcd", 0, 3 + 16, 4 + 16, 16},
      {u"ab\r\nabcd\n", 0, 3 + 16, 4 + 16, 16},
      {u"ab cd ef", DT_WORDBREAK, 3 + 20, 4 + 16, 16},
      {u"abcdefgh ij", DT_WORDBREAK, 3 + 32, 4 + 16, 16},
      {u"", 0, 3, 4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << " text length "
                                    << std::u16string(c.text).size());
    RECT rect{3, 4, 23, 5};
    EXPECT_EQ(DrawTextW(canvas.dc(), c.text, -1, &rect, c.format | DT_CALCRECT), c.height);
    EXPECT_EQ(rect, (RECT{3, 4, c.right, c.bottom}));
  }
  EXPECT_EQ(canvas.Ink(), (RECT{0, 0, 0, 0}));
}

TEST(Text, WordBreakPutsEachLineInTheRectangle) {
  Canvas canvas(24, 20);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT rect{0, 0, 20, 20};
  EXPECT_EQ(DrawTextW(canvas.dc(), u"ab cd ef", -1, &rect, DT_WORDBREAK | DT_RIGHT), 16);
  // "ab cd" fills the first line; "ef" stands at the right of the second.
  EXPECT_EQ(canvas.At(0, 1), kBlack);
  EXPECT_EQ(canvas.At(8, 1), kWhite) << "the space";
  EXPECT_EQ(canvas.At(11, 9), kWhite);
  EXPECT_EQ(canvas.At(12, 9), kBlack) << "'ef' stands at the right of the second line";
  EXPECT_EQ(canvas.At(18, 9), kBlack);
  EXPECT_EQ(canvas.At(19, 9), kWhite);
  EXPECT_EQ(canvas.Ink(), (RECT{0, 1, 19, 15}));
}

TEST(Text, PrefixUnderlinesTheNextCharacterUnlessNoPrefix) {
  struct Case {
    const char16_t* text;
    UINT format;
    int boxes;          // glyph boxes drawn
    int underlinedAt;   // character position whose advance is underlined, or -1
  } cases[] = {
      {u"&ab", 0, 2, 0},
      {u"a&b", 0, 2, 1},
      {u"a&&b", 0, 3, -1},
      {u"ab&", 0, 2, -1},
      {u"&ab", DT_NOPREFIX, 3, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    Canvas canvas(16, 8);
    ScopedFont font(canvas.dc(), u"Test Fixed", 8);
    SetBkMode(canvas.dc(), TRANSPARENT);
    RECT rect{0, 0, 16, 8};
    DrawTextW(canvas.dc(), c.text, -1, &rect, c.format | DT_SINGLELINE);
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(canvas.At(4 * i, 1), i < c.boxes ? kBlack : kWhite) << "box top-left corner";
      for (int x = 4 * i; x < 4 * i + 4; ++x)
        EXPECT_EQ(canvas.At(x, 7), i == c.underlinedAt ? kBlack : kWhite) << x;
    }
  }
}

TEST(Text, OpaqueModeFillsTheTextCellAndTransparentLeavesTheGround) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    SCOPED_TRACE(mode);
    Canvas canvas(20, 12);
    ScopedFont font(canvas.dc(), u"Test Fixed", 8);
    SetBkMode(canvas.dc(), mode);
    SetBkColor(canvas.dc(), kRed);
    RECT rect{2, 2, 18, 12};
    DrawTextW(canvas.dc(), u"a b", 3, &rect, DT_CENTER | DT_SINGLELINE);
    // "a b" is 12 wide, centred from x = 4; its cell is rows 2 to 9.
    int boxPixels = 2 * (2 * 3 + 2 * 4);
    EXPECT_EQ(canvas.Count(kBlack), boxPixels);
    EXPECT_EQ(canvas.Count(kRed), mode == OPAQUE ? 12 * 8 - boxPixels : 0);
    if (mode == OPAQUE) {
      EXPECT_EQ(canvas.Ink(), (RECT{4, 2, 16, 10}));
    }
  }
}

TEST(Text, TextColourPaintsTheGlyphs) {
  Canvas canvas(8, 8);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  SetTextColor(canvas.dc(), RGB(0, 128, 255));
  ExtTextOutW(canvas.dc(), 0, 0, 0, nullptr, u"x", 1, nullptr);
  EXPECT_EQ(canvas.At(0, 1), RGB(0, 128, 255));
  EXPECT_EQ(canvas.At(1, 2), RGB(255, 255, 255)) << "inside the box: the background colour";
}

TEST(Text, ExtTextOutOpaqueFillsTheRectangleAndClippedStaysInIt) {
  // The boxes of "abc" from (2, 2): columns 2-4, 6-8 and 10-12, rows 3-8;
  // the rectangle holds the first two and the left side of the third.
  const int insideRect = 14 + 14 + 6;
  struct Case {
    UINT options;
    RECT ink;
    int red;
  } cases[] = {
      {0, {2, 3, 13, 9}, 0},
      {ETO_OPAQUE, {1, 1, 13, 10}, 10 * 9 - insideRect},
      {ETO_CLIPPED, {2, 3, 11, 9}, 0},
      {ETO_OPAQUE | ETO_CLIPPED, {1, 1, 11, 10}, 10 * 9 - insideRect},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    Canvas canvas(16, 12);
    ScopedFont font(canvas.dc(), u"Test Fixed", 8);
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetBkColor(canvas.dc(), kRed);
    RECT rect{1, 1, 11, 10};
    EXPECT_TRUE(ExtTextOutW(canvas.dc(), 2, 2, c.options, &rect, u"abc", 3, nullptr));
    EXPECT_EQ(canvas.Ink(), c.ink);
    EXPECT_EQ(canvas.Count(kRed), c.red);
  }
}

TEST(Text, ExtTextOutStepsByTheGivenAdvances) {
  Canvas canvas(24, 8);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  SetBkMode(canvas.dc(), TRANSPARENT);
  const int dx[] = {10, 4, 4};
  EXPECT_TRUE(ExtTextOutW(canvas.dc(), 1, 0, 0, nullptr, u"abc", 3, dx));
  for (int x : {1, 11, 15}) EXPECT_EQ(canvas.At(x, 1), kBlack) << x;
  EXPECT_EQ(canvas.At(5, 1), kWhite);
  EXPECT_FALSE(ExtTextOutW(canvas.dc(), 0, 0, 0, nullptr, nullptr, 2, nullptr));
  EXPECT_FALSE(ExtTextOutW(reinterpret_cast<HDC>(0x10), 0, 0, 0, nullptr, u"a", 1, nullptr));
}

TEST(Text, FarAwayTextCostsNothingAndDrawsNothing) {
  Canvas canvas(8, 8);
  ScopedFont font(canvas.dc(), u"Test Fixed", 8);
  std::u16string line(100000, u'a');
  for (POINT at : {POINT{INT_MIN, 0}, POINT{INT_MAX - 10, 0}, POINT{0, INT_MIN}, POINT{-400000, 0}}) {
    SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
    EXPECT_TRUE(ExtTextOutW(canvas.dc(), at.x, at.y, 0, nullptr, line.data(),
                            static_cast<UINT>(line.size()), nullptr));
  }
  EXPECT_EQ(canvas.Count(kBlack), 0);
  RECT rect{INT_MIN, INT_MIN, INT_MIN + 10, INT_MIN + 10};
  DrawTextW(canvas.dc(), u"ab", 2, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(canvas.Count(kBlack), 0) << "centred far outside";
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  DrawTextW(canvas.dc(), u"ab", 2, &huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(canvas.Ink(), (RECT{0, 0, 2, 2})) << "centred about (-1, -1): the corner of 'b' shows";
}

}  // namespace
