// The title lines and the title box. With "Test Fixed" at size 10 the box
// uses the small style: characters 3 pixels apart, lines 7 high.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/article_view.h"
#include "view_test_support.h"

namespace {

using viewtest::Record;

constexpr COLORREF kWhite = 0xFFFFFF, kYellow = 0x00FFFF, kBlue = 0xFF0000, kRed = 0x0000FF;

std::string Text(const TitleLine& t) {
  return t.text ? std::string(reinterpret_cast<const char*>(t.text), t.length) : "(none)";
}

TEST(GetTitleLines, Table) {
  const struct {
    const char* name;
    std::vector<Record> records;
    const char* first;
    const char* second;
  } rows[] = {
      {"first title alone", {{0xDC, 0, "one"}, {0xB1, 0, "text"}}, "one", "(none)"},
      {"both titles", {{0xDC, 0, "one"}, {0xD1, 0, "two"}, {0xB1, 0, "text"}}, "one", "two"},
      {"a second title without a first", {{0xD1, 0, "two"}, {0xB1, 0, "text"}}, "(none)", "two"},
      {"a second title after other records is none", {{0xB1, 0, "text"}, {0xD1, 0, "two"}}, "(none)", "(none)"},
      {"flags must be exact", {{0xDD, 0, "one"}, {0xD3, 0, "two"}}, "(none)", "(none)"},
      {"an empty article", {}, "(none)", "(none)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    BYTE* article = viewtest::MakeArticle(row.records);
    TitleLine first = {7, 7, nullptr}, second = {7, 7, nullptr};
    GetTitleLines(article, &first, &second);
    EXPECT_EQ(Text(first), row.first);
    EXPECT_EQ(Text(second), row.second);
    EXPECT_EQ(first.width, 0);
    EXPECT_EQ(second.width, 0);
    LocalFree(article);
  }
  TitleLine first = {7, 7, nullptr}, second = {7, 7, nullptr};
  GetTitleLines(nullptr, &first, &second);
  EXPECT_EQ(first.length, 0);
  EXPECT_EQ(second.length, 0);
}

class TitleBox : public viewtest::ViewFixture {
 protected:
  void Show(const std::vector<Record>& records, int paneWidth) {
    ASSERT_EQ(LayOut(canvas_.dc(), {0, 0, paneWidth, 100}, records), LAYOUT_DONE);
    DrawTitleBox(view_);
  }
  // The box's outer rectangle, from its frame: two red, one white, two blue.
  void ExpectFrames(int left, int top, int right, int bottom) {
    const COLORREF rings[] = {kRed, kRed, kWhite, kBlue, kBlue};
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE(k);
      EXPECT_TRUE(viewtest::AllOf(canvas_, left + k, top + k, right - k, top + k + 1, rings[k])) << "top";
      EXPECT_TRUE(viewtest::AllOf(canvas_, left + k, bottom - k - 1, right - k, bottom - k, rings[k])) << "bottom";
      EXPECT_TRUE(viewtest::AllOf(canvas_, left + k, top + k, left + k + 1, bottom - k, rings[k])) << "left";
      EXPECT_TRUE(viewtest::AllOf(canvas_, right - k - 1, top + k, right - k, bottom - k, rings[k])) << "right";
    }
    EXPECT_EQ(canvas_.At(left + 5, top + 5), kYellow) << "the inside";
    EXPECT_EQ(canvas_.At(right - 6, bottom - 6), kYellow);
    if (left > 0) {
      EXPECT_EQ(canvas_.At(left - 1, top), kWhite) << "nothing outside";
    }
    EXPECT_EQ(canvas_.At(left, bottom), kWhite);
    EXPECT_EQ(canvas_.At(left, top - 1), kWhite);
  }

  Canvas canvas_{200, 110};
};

TEST_F(TitleBox, OneTitleLine) {
  // Width 9 + 2 x 7 + 8 = 31, centred in 200; one line of 7 plus 10, ending
  // 2 above the pane's bottom.
  Show({{0xDC, 0, "abc"}, {0xB1, 0, "x"}}, 200);
  ExpectFrames(84, 81, 115, 98);
  // The title, red, centred in the inside (89 to 110): at 95.
  EXPECT_EQ(canvas_.At(95, 87), kRed);
  EXPECT_EQ(canvas_.At(101, 87), kRed);
  EXPECT_EQ(canvas_.At(104, 87), kYellow);
  EXPECT_EQ(canvas_.At(94, 87), kYellow);
}

TEST_F(TitleBox, TwoTitleLines) {
  // Widths 9 and 15: box 37 wide, two lines high.
  Show({{0xDC, 0, "abc"}, {0xD1, 0, "defgh"}, {0xB1, 0, "x"}}, 200);
  ExpectFrames(81, 74, 118, 98);
  EXPECT_EQ(canvas_.At(95, 80), kRed) << "the first title";
  EXPECT_EQ(canvas_.At(92, 87), kRed) << "the second, one line lower";
}

TEST_F(TitleBox, ATitleWiderThanThePaneIsCutToIt) {
  // Ten characters fit the 30 pixels; the box takes the whole pane and the
  // title, wider than the inside, starts at the pane's left over the frames.
  Show({{0xDC, 0, "abcdefghijklmn"}}, 30);
  const COLORREF rings[] = {kRed, kRed, kWhite, kBlue, kBlue};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(canvas_.At(15, 81 + k), rings[k]) << k;
    EXPECT_EQ(canvas_.At(15, 97 - k), rings[k]) << k;
  }
  EXPECT_EQ(canvas_.At(29, 81), kRed);
  EXPECT_EQ(canvas_.At(0, 87), kRed) << "the first character";
  EXPECT_EQ(canvas_.At(27, 87), kRed) << "the tenth";
  EXPECT_EQ(canvas_.At(29, 88), kYellow);
}

TEST_F(TitleBox, NoTitleNoBox) {
  Show({{0xB1, 0, "abc"}, {0xD1, 0, "def"}}, 200);
  EXPECT_TRUE(viewtest::AllOf(canvas_, 0, 0, 200, 110, kWhite));
}

TEST_F(TitleBox, LeavesFontAndBackgroundModeAsTheyWere) {
  HDC dc = canvas_.dc();
  SetBkMode(dc, TRANSPARENT);
  ScopedFont mine(dc, u"", 20);
  Show({{0xDC, 0, "abc"}}, 200);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_TRUE(viewtest::IsSelected(dc, mine.font()));
}

TEST(DrawFrame, ShrinksTheRectangleOnePixelAPass) {
  Canvas canvas(20, 20);
  RECT r = {2, 3, 12, 13};
  DrawFrame(canvas.dc(), &r, 0x0000FF, 3);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 6);
  EXPECT_EQ(r.right, 9);
  EXPECT_EQ(r.bottom, 10);
  EXPECT_EQ(canvas.At(2, 3), 0x0000FFu);
  EXPECT_EQ(canvas.At(4, 5), 0x0000FFu);
  EXPECT_EQ(canvas.At(11, 12), 0x0000FFu);
  EXPECT_EQ(canvas.At(5, 6), 0xFFFFFFu) << "the inside takes the surface's brush";
}

}  // namespace
