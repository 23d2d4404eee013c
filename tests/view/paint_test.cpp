// Painting with "Test Fixed" at size 10 (characters 5 pixels apart, lines 10
// high; each character a box outline whose top-left pixel is (pen x, line
// top + 1)) into a small bitmap, probed pixel by pixel. The pane is at
// (10, 5), 100 x 100, unless a test says otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "platform/testing.h"
#include "view/article_view.h"
#include "view_test_support.h"

namespace {

using viewtest::Record;

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0, kYellow = 0x00FFFF, kBlue = 0xFF0000, kRed = 0x0000FF,
                   kNavy = 0x800000;

class Paint : public viewtest::ViewFixture {
 protected:
  void Lay(const std::vector<Record>& records, RECT box = {10, 5, 110, 105}, int size = 10, bool endMark = true) {
    choice_.size = size;
    ASSERT_EQ(LayOut(canvas_.dc(), box, records, 100, endMark), LAYOUT_DONE);
  }
  // Whether a character's outline starts at (x, top + 1) in that colour.
  bool Glyph(int x, int top, COLORREF colour) const { return canvas_.At(x, top + 1) == colour; }

  Canvas canvas_{130, 130};
};

std::vector<Record> Paragraphs(int n, int flags) { return std::vector<Record>(n, Record{flags, 0, "ab"}); }

TEST_F(Paint, MissingPartsPaintNothing) {
  EXPECT_EQ(PaintArticle(nullptr, true), -1);
  EXPECT_EQ(PaintHighlight(nullptr), -1);
  RECT box = {10, 5, 110, 105};
  view_ = CreateArticleView(canvas_.dc(), &box, &choice_, 100);
  EXPECT_EQ(PaintArticle(view_, true), -1) << "no text";
  EXPECT_EQ(PaintHighlight(view_), -1);
  EXPECT_TRUE(viewtest::AllOf(canvas_, 0, 0, 130, 130, kWhite));
}

TEST_F(Paint, ATopLineOnABlankLineStartsOneBlankLineLower) {
  Lay(Paragraphs(5, 0x81));  // display lines 0, 2, 4, 6, 8
  const struct {
    int topLine;
    int firstY;  // top of the first drawn line
    int pageLines;
  } rows[] = {{0, 5, 9}, {1, 15, 7}, {2, 5, 7}, {3, 15, 5}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.topLine);
    canvas_.Clear(kWhite);
    view_->topLine = static_cast<WORD>(row.topLine);
    EXPECT_EQ(PaintArticle(view_, true), 0);
    EXPECT_EQ(view_->pageLines, row.pageLines);
    EXPECT_TRUE(Glyph(10, row.firstY, kBlack));
    EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 5, 110, row.firstY, kWhite)) << "nothing above the first line";
  }
}

TEST_F(Paint, ABlankLineCountsEvenPastTheBottom) {
  Lay(Paragraphs(5, 0x81), {10, 5, 110, 105}, 18);  // lines 18 high, every one with a blank line
  EXPECT_EQ(PaintArticle(view_, true), 0);
  EXPECT_EQ(view_->pageLines, 6);
  EXPECT_TRUE(Glyph(10, 5 + 72, kBlack)) << "the third line fits";
  EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 5 + 90, 110, 105, kWhite)) << "the fourth does not";
}

TEST_F(Paint, ALineThatDoesNotFitIsNotDrawnNorAnythingAfterIt) {
  Lay({{0x01, 0, "ab"}, {0x01, 0, "cd"}, {0x05, 0, "ef"}, {0x03, 0, "gh"}}, {10, 5, 110, 32});
  EXPECT_EQ(PaintArticle(view_, true), 0);
  EXPECT_EQ(view_->pageLines, 2);
  EXPECT_TRUE(Glyph(10, 15, kBlack));
  EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 25, 110, 32, kWhite)) << "12 pixels of line in 7 of room, and the 7 after it";
}

TEST_F(Paint, ATopLinePastTheEndBecomesMaxTopLine) {
  Lay(Paragraphs(20, 0x01));
  ASSERT_EQ(view_->maxTopLine, 10);
  view_->topLine = 21;
  EXPECT_EQ(PaintArticle(view_, true), 0);
  EXPECT_EQ(view_->topLine, 10);
  EXPECT_EQ(view_->pageLines, 10);
  view_->topLine = 20;
  EXPECT_EQ(PaintArticle(view_, true), 0);
  EXPECT_EQ(view_->topLine, 20) << "at totalLines it stays";
  EXPECT_EQ(view_->pageLines, 0);
}

TEST_F(Paint, StylesColoursAndRules) {
  // A centred blue title with its blank line, a black line, a rule, and a
  // navy small line at the right.
  Lay({{0xDC, 0, "ab"}, {0x01, 0, "ab"}, {0x07, 40, ""}, {0x23, 0, "ab"}});
  HDC dc = canvas_.dc();
  SetTextColor(dc, 0x123456);
  EXPECT_EQ(PaintArticle(view_, true), 0);
  EXPECT_EQ(GetTextColor(dc), 0x123456u) << "the text colour comes back";
  EXPECT_TRUE(Glyph(54, 5, kBlue));
  EXPECT_TRUE(Glyph(10, 29, kBlack));
  EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 44, 50, 45, kBlack)) << "the rule across the middle of its line";
  EXPECT_EQ(canvas_.At(50, 44), kWhite);
  EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 43, 50, 44, kWhite));
  EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 45, 50, 46, kWhite));
  EXPECT_TRUE(Glyph(104, 49, kNavy));
  EXPECT_EQ(view_->pageLines, 5);
}

TEST_F(Paint, ClearingIsAsked) {
  Lay({{0x01, 0, "ab"}});
  canvas_.Clear(kRed);
  EXPECT_EQ(PaintArticle(view_, false), 0);
  EXPECT_EQ(canvas_.At(60, 50), kRed) << "drawn over what was there";
  EXPECT_TRUE(Glyph(10, 5, kBlack));
  EXPECT_EQ(PaintArticle(view_, true), 0);
  EXPECT_TRUE(viewtest::AllOf(canvas_, 10, 20, 110, 105, kWhite)) << "the pane, cleared";
  EXPECT_EQ(canvas_.At(9, 50), kRed) << "only the pane";
  EXPECT_EQ(canvas_.At(110, 50), kRed);
}

TEST_F(Paint, HangingWordsSitInTheirColumn) {
  Lay({{0x01, 0x40, "ab cd"}, {0x11, 0x40, "dc ba"}});
  EXPECT_EQ(PaintArticle(view_, true), 0);
  // Left to right: the word at 10, the run after the 5-pixel column.
  EXPECT_TRUE(Glyph(10, 5, kBlack));
  EXPECT_TRUE(Glyph(15, 5, kBlack));
  EXPECT_TRUE(Glyph(20, 5, kBlack));
  // Right to left: the run at 15, the part of the word that fits the
  // column right-aligned in it, after the run.
  EXPECT_TRUE(Glyph(15, 15, kBlack));
  EXPECT_TRUE(Glyph(20, 15, kBlack));
  EXPECT_TRUE(Glyph(25, 15, kBlack));
  EXPECT_TRUE(viewtest::AllOf(canvas_, 30, 15, 110, 25, kWhite));
}

struct HighlightCase {
  const char* name;
  std::vector<Record> records;
  int hitStart, hitEnd;
  std::vector<std::pair<int, int>> yellow;  // pixels inside glyphs that turn yellow
  std::vector<std::pair<int, int>> white;   // and that stay white
};

const HighlightCase kHighlightCases[] = {
    {"bytes 10 to 13 of a line at offset 8, two characters in",
     {{0x01, 0, "abc"}, {0x01, 0, "abcdefghijkl"}}, 10, 14,
     {{22, 19}, {37, 19}, {39, 24}, {20, 15}}, {{17, 19}, {42, 19}, {12, 9}}},
    {"a hit that starts before the line",
     {{0x01, 0, "abc"}, {0x01, 0, "abcdefghijkl"}}, 3, 9,
     {{12, 19}, {17, 9}, {22, 9}}, {{17, 19}, {12, 9}}},
    {"a left to right hanging word",
     {{0x01, 0x40, "ab cd"}}, 2, 4,
     {{12, 9}, {17, 9}}, {{22, 9}}},
    {"a right to left hanging word shows whole when its line is hit",
     {{0x11, 0x40, "dc ba"}}, 2, 3,
     {{17, 9}, {27, 9}}, {{22, 9}}},
};

void PrintTo(const HighlightCase& c, std::ostream* os) { *os << c.name; }

class Highlight : public Paint, public ::testing::WithParamInterface<HighlightCase> {};

TEST_P(Highlight, BlueOnYellowAtTheRightPlace) {
  const HighlightCase& c = GetParam();
  Lay(c.records);
  view_->hitStart = static_cast<WORD>(c.hitStart);
  view_->hitEnd = static_cast<WORD>(c.hitEnd);
  EXPECT_EQ(PaintArticle(view_, true), 0);
  for (auto [x, y] : c.yellow) EXPECT_EQ(canvas_.At(x, y), kYellow) << x << ", " << y;
  for (auto [x, y] : c.white) EXPECT_EQ(canvas_.At(x, y), kWhite) << x << ", " << y;
  EXPECT_TRUE(viewtest::AnyOf(canvas_, 0, 0, 130, 130, kBlue)) << "the hit is drawn blue";
}

INSTANTIATE_TEST_SUITE_P(Pieces, Highlight, ::testing::ValuesIn(kHighlightCases), ByCaseName());

TEST_F(Paint, HighlightLeavesPageLinesAndFontAsTheyWere) {
  Lay(Paragraphs(3, 0x81));
  EXPECT_EQ(PaintArticle(view_, true), 0);
  view_->pageLines = 42;
  view_->hitStart = 2;
  view_->hitEnd = 3;
  EXPECT_EQ(PaintHighlight(view_), 0);
  EXPECT_EQ(view_->pageLines, 42);
  EXPECT_EQ(canvas_.At(12, 9), kYellow);
}

struct ScrollCase {
  const char* name;
  int topLine, delta;
  bool paint;
  int result, wantTop;
};

// 25 lines in a pane of 10: totalLines 25, maxTopLine 15.
const ScrollCase kScrollCases[] = {
    {"back past the start stops at 0", 3, -5, false, SCROLL_MOVED, 0},
    {"down from maxTopLine does nothing", 15, 3, false, SCROLL_UNCHANGED, 15},
    {"staying at maxTopLine does nothing", 15, 0, false, SCROLL_UNCHANGED, 15},
    {"a position between maxTopLine and totalLines is accepted", 14, 2, false, SCROLL_MOVED, 16},
    {"past totalLines goes to maxTopLine", 5, 100, false, SCROLL_MOVED, 15},
    {"exactly to totalLines is accepted", 14, 11, false, SCROLL_MOVED, 25},
    {"up from past maxTopLine", 20, -1, false, SCROLL_MOVED, 19},
    {"up from past totalLines to past totalLines goes to maxTopLine", 40, -1, false, SCROLL_MOVED, 15},
    {"no move at the start", 0, -1, false, SCROLL_UNCHANGED, 0},
    {"no move, asked to paint, paints nothing", 0, -3, true, SCROLL_UNCHANGED, 0},
    {"moved and painted", 2, 3, true, 0, 5},
};

void PrintTo(const ScrollCase& c, std::ostream* os) { *os << c.name; }

class Scroll : public Paint, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(Scroll, Clamps) {
  const ScrollCase& c = GetParam();
  Lay(Paragraphs(25, 0x01));
  ASSERT_EQ(view_->totalLines, 25);
  ASSERT_EQ(view_->maxTopLine, 15);
  view_->topLine = static_cast<WORD>(c.topLine);
  view_->pageLines = -7;
  EXPECT_EQ(ScrollArticle(view_, c.delta, c.paint), c.result);
  EXPECT_EQ(view_->topLine, c.wantTop);
  EXPECT_EQ(view_->pageLines, c.paint && c.result == 0 ? 10 : -7) << "painted only when moved and asked";
}

INSTANTIATE_TEST_SUITE_P(Table, Scroll, ::testing::ValuesIn(kScrollCases), ByCaseName());

TEST(ScrollArticle, NoView) { EXPECT_EQ(ScrollArticle(nullptr, 1, true), -1); }

// An article whose last text runs to the end of its data: every reader
// stops at byte D (the bytes after it are poisoned under the sanitizer).
TEST_F(Paint, ArticlesWithoutTheEndMarkAreReadOnlyToTheirEnd) {
  const std::vector<Record> articles[] = {
      {{0xDC, 0, "eltit"}, {0xB1, 0x40, "fed cba"}},
      {{0xDC, 0, "eltit"}, {0x01, 0x40, "abc def"}},
      {{0xDC, 0, "eltit"}, {0xD1, 0, "dnoces"}},
      {{0xDC, 0, "eltit"}},
  };
  for (const auto& records : articles) {
    SCOPED_TRACE(records.back().text);
    Lay(records, {10, 5, 110, 105}, 10, false);
    view_->hitStart = 0;
    view_->hitEnd = 0xFFFF;
    EXPECT_EQ(PaintArticle(view_, true), 0);
    DrawTitleBox(view_);
    EXPECT_TRUE(viewtest::AnyOf(canvas_, 10, 5, 110, 105, kYellow));
  }
  // A flags byte with no parameter byte after it ends the article.
  BYTE* text = viewtest::StoredBlock({0xDC, 0, 'a', 'b', 0, 0xB1});
  ASSERT_EQ(LayoutArticle(view_, text, true), LAYOUT_DONE);
  EXPECT_EQ(view_->lineCount, 1);
  EXPECT_EQ(PaintArticle(view_, true), 0);
}

}  // namespace
