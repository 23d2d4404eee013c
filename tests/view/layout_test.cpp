// Layout with "Test Fixed" at size 10: every character advances 5 pixels
// and lines are 10 high (size 7, the small style: 3 and 7; size 12, the
// large style: 6 and 12). Panes start at x = 10.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "platform/memory.h"
#include "platform/testing.h"
#include "view/article_view.h"
#include "view/letters.h"
#include "view_test_support.h"

namespace {

using viewtest::Record;

struct Line {
  int offset, length, x, hangWidth, width, height, flags;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
  return os << "{" << l.offset << ", " << l.length << ", x " << l.x << ", hang " << l.hangWidth << ", w "
            << l.width << ", h " << l.height << ", 0x" << std::hex << l.flags << std::dec << "}";
}

constexpr int kLeft = 10;

class LayoutFixture : public viewtest::ViewFixture {
 protected:
  // A pane at x = 10 of the given width.
  int Lay(int width, const std::vector<Record>& records, int height = 100, int capacity = 100) {
    return LayOut(canvas_.dc(), {kLeft, 0, kLeft + width, height}, records, capacity);
  }
  std::vector<Line> Lines() const {
    std::vector<Line> lines;
    for (int i = 0; i < view_->lineCount; ++i) {
      const LineRecord& r = view_->lines[i];
      lines.push_back({r.offset, r.length, r.x, r.hangWidth, r.width, r.height, r.flags});
    }
    EXPECT_EQ(view_->lines[view_->lineCount].flags, 0) << "the table ends with its terminator";
    return lines;
  }

  Canvas canvas_{200, 200};
};

struct LayoutCase {
  const char* name;
  int width;
  std::vector<Record> records;
  std::vector<Line> want;
  int totalLines;
};

const LayoutCase kLayoutCases[] = {
    {"a paragraph that fits is one line, with its blank line",
     50, {{0x81, 0, "abc de"}, {0x01, 0, "xy"}},
     {{2, 6, 10, 0, 30, 10, 0x81}, {11, 2, 10, 0, 10, 10, 0x01}}, 3},
    {"breaks at the last space before the fit",
     45, {{0x01, 0, "aaa bbb ccc"}},
     {{2, 7, 10, 0, 35, 10, 0x01}, {10, 3, 10, 0, 15, 10, 0x01}}, 2},
    {"a later space wins over an earlier hyphen",
     35, {{0x01, 0, "ab-cd ef"}},
     {{2, 5, 10, 0, 25, 10, 0x01}, {8, 2, 10, 0, 10, 10, 0x01}}, 2},
    {"breaks after a hyphen, which stays on the line",
     30, {{0x01, 0, "aaa-bbbb"}},
     {{2, 4, 10, 0, 20, 10, 0x01}, {6, 4, 10, 0, 20, 10, 0x01}}, 2},
    {"a word wider than the room is cut where the width runs out",
     20, {{0x01, 0, "abcdefghij"}},
     {{2, 4, 10, 0, 20, 10, 0x01}, {6, 4, 10, 0, 20, 10, 0x01}, {10, 2, 10, 0, 10, 10, 0x01}}, 3},
    {"a hyphen at the start of the run is never the break",
     20, {{0x01, 0, "-abcdef"}},
     {{2, 4, 10, 0, 20, 10, 0x01}, {6, 3, 10, 0, 15, 10, 0x01}}, 2},
    {"a fit that ends at a space needs no look back",
     15, {{0x01, 0, "abc def"}},
     {{2, 3, 10, 0, 15, 10, 0x01}, {6, 3, 10, 0, 15, 10, 0x01}}, 2},
    {"spaces at the start of every line are skipped",
     15, {{0x01, 0, "  ab   cd  "}},
     {{4, 3, 10, 0, 15, 10, 0x01}, {9, 3, 10, 0, 15, 10, 0x01}}, 2},
    {"one character per line when not even one fits",
     3, {{0x21, 0, "abc"}},
     {{2, 1, 10, 0, 5, 10, 0x21}, {3, 1, 10, 0, 5, 10, 0x21}, {4, 1, 10, 0, 5, 10, 0x21}}, 3},
    {"a paragraph of spaces or of nothing makes no line",
     50, {{0x81, 0, "ab"}, {0x81, 0, "   "}, {0x81, 0, ""}, {0x01, 0, "cd"}},
     {{2, 2, 10, 0, 10, 10, 0x81}, {16, 2, 10, 0, 10, 10, 0x01}}, 3},
    {"the last line of the article drops its blank line",
     50, {{0x81, 0, "ab"}, {0x81, 0, "cd"}},
     {{2, 2, 10, 0, 10, 10, 0x81}, {7, 2, 10, 0, 10, 10, 0x01}}, 3},
    {"only the last line of a paragraph carries the blank line",
     20, {{0x81, 0, "abc def"}, {0x01, 0, "x"}},
     {{2, 3, 10, 0, 15, 10, 0x01}, {6, 3, 10, 0, 15, 10, 0x81}, {12, 1, 10, 0, 5, 10, 0x01}}, 4},
    {"left indent",
     50, {{0x01, 5, "abc def ghi"}},
     {{2, 7, 15, 0, 35, 10, 0x01}, {10, 3, 15, 0, 15, 10, 0x01}}, 2},
    {"right aligned, indent kept free at the right",
     50, {{0x21, 5, "abc def ghi"}},
     {{2, 7, 20, 0, 35, 10, 0x21}, {10, 3, 40, 0, 15, 10, 0x21}}, 2},
    {"centred right of the indent",
     50, {{0x41, 4, "abc def ghi"}},
     {{2, 7, 19, 0, 35, 10, 0x41}, {10, 3, 29, 0, 15, 10, 0x41}}, 2},
    {"an indent as wide as the pane is dropped",
     20, {{0x01, 20, "ab"}},
     {{2, 2, 10, 0, 10, 10, 0x01}}, 1},
    {"hanging word, left to right: the record starts at the word",
     50, {{0x01, 0x40, "ab cdef ghij klm"}},
     {{2, 9, 15, 5, 45, 10, 0x01}, {15, 3, 15, 0, 15, 10, 0x01}}, 2},
    {"hanging word, right to left: the run before the word in stored order",
     50, {{0x11, 0x40, "mlk jihg fedc ba"}},
     {{6, 9, 15, 5, 45, 10, 0x11}, {2, 3, 15, 0, 15, 10, 0x11}}, 2},
    {"a hanging column of code 3 is twice the widest character",
     50, {{0x01, 0xC0, "ab cd"}},
     {{2, 2, 20, 10, 10, 10, 0x01}}, 1},
    {"a hanging word alone on its line",
     50, {{0x01, 0x40, "abc"}},
     {{2, 0, 15, 5, 0, 10, 0x01}}, 1},
    {"right to left lines name their stored bytes",
     35, {{0x11, 0, "ihg fed cba"}},
     {{6, 7, 10, 0, 35, 10, 0x11}, {2, 3, 10, 0, 15, 10, 0x11}}, 2},
    {"a right to left paragraph on one line is the whole stored text",
     50, {{0xB1, 0, "cba"}},
     {{2, 3, 45, 0, 15, 10, 0x31}}, 1},
    {"a continuation paragraph goes on at the running indent",
     50, {{0x01, 0x45, "ab cd"}, {0x01, 0x47, " ef gh"}},
     {{2, 2, 20, 5, 10, 10, 0x01}, {11, 5, 22, 0, 25, 10, 0x01}}, 2},
    {"the first paragraph is never a continuation",
     50, {{0x01, 0x40, " ab cd"}},
     {{3, 2, 15, 5, 10, 10, 0x01}}, 1},
    {"rules: none, pixels, aligned, percent, full and clamped",
     100, {{0x87, 0, ""}, {0x87, 60, ""}, {0x27, 60, ""}, {0x47, 60, ""}, {0x07, 170, ""}, {0x07, 210, ""},
           {0x87, 255, ""}},
     {{5, 0, 10, 0, 60, 10, 0x87}, {8, 0, 50, 0, 60, 10, 0x27}, {11, 0, 30, 0, 60, 10, 0x47},
      {14, 0, 10, 0, 20, 10, 0x07}, {17, 0, 10, 0, 100, 10, 0x07}, {20, 0, 10, 0, 100, 10, 0x07}}, 7},
    {"a rule wider than a narrow pane takes the pane's width",
     40, {{0x07, 160, ""}},
     {{2, 0, 10, 0, 40, 10, 0x07}}, 1},
    {"a paragraph whose flags are only the blank line keeps its lines in the table",
     20, {{0x80, 0, "abc def"}, {0x80, 0, "gh"}},
     {{2, 3, 10, 0, 15, 10, 0x60}, {6, 3, 10, 0, 15, 10, 0xE0}, {12, 2, 10, 0, 10, 10, 0x60}}, 4},
    {"styles: large, a rule at the large height, small",
     100, {{0x05, 0, "ab"}, {0x07, 10, ""}, {0x03, 0, "cd"}},
     {{2, 2, 10, 0, 12, 12, 0x05}, {7, 0, 10, 0, 10, 12, 0x07}, {10, 2, 10, 0, 6, 7, 0x03}}, 3},
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class LayoutTable : public LayoutFixture, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTable, Lines) {
  const LayoutCase& c = GetParam();
  ASSERT_EQ(Lay(c.width, c.records), LAYOUT_DONE);
  EXPECT_EQ(Lines(), c.want);
  EXPECT_EQ(view_->totalLines, c.totalLines);
  EXPECT_EQ(view_->maxTopLine, 0) << "the article fits the pane";
}

INSTANTIATE_TEST_SUITE_P(TestFixed, LayoutTable, ::testing::ValuesIn(kLayoutCases), ByCaseName());

std::vector<Record> OneCharParagraphs(int n, int flags = 0x01) {
  return std::vector<Record>(static_cast<size_t>(n), Record{flags, 0, "a"});
}

TEST_F(LayoutFixture, LineTableGrowsBy128) {
  const struct {
    int lines, capacity;
  } rows[] = {{100, 100}, {101, 228}, {228, 228}, {229, 356}, {300, 356}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.lines);
    ASSERT_EQ(Lay(50, OneCharParagraphs(row.lines), 100), LAYOUT_DONE);
    EXPECT_EQ(view_->lineCount, row.lines);
    EXPECT_EQ(view_->lineCapacity, row.capacity);
    EXPECT_EQ(LocalSize(view_->lines), (row.capacity + 1u) * sizeof(LineRecord));
    EXPECT_EQ(view_->lines[row.lines].flags, 0);
    for (int i = 0; i < row.lines; i += 37) EXPECT_EQ(view_->lines[i].offset, 4 * i + 2) << "line " << i;
  }
}

TEST_F(LayoutFixture, AViewWithoutATableGetsOneAtTheFirstLayout) {
  ASSERT_EQ(Lay(50, OneCharParagraphs(3), 100, 0), LAYOUT_DONE);
  EXPECT_EQ(view_->lineCapacity, 128);
  EXPECT_EQ(view_->lineCount, 3);
}

struct MaxTopCase {
  const char* name;
  std::vector<Record> records;
  int height;
  int totalLines, maxTopLine;
};

TEST_F(LayoutFixture, MaxTopLine) {
  const MaxTopCase cases[] = {
      {"an article that fits", OneCharParagraphs(5), 100, 5, 0},
      {"twenty lines in a pane of ten", OneCharParagraphs(20), 100, 20, 10},
      {"blank lines count", OneCharParagraphs(10, 0x81), 100, 19, 9},
      {"a pane that ends inside a line", OneCharParagraphs(10, 0x81), 95, 19, 10},
      {"a last blank line that does not fit is not counted", OneCharParagraphs(10, 0x81), 105, 19, 9},
      {"a pane lower than one line", OneCharParagraphs(3), 5, 3, 3},
  };
  for (const MaxTopCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Lay(50, c.records, c.height), LAYOUT_DONE);
    EXPECT_EQ(view_->totalLines, c.totalLines);
    EXPECT_EQ(view_->maxTopLine, c.maxTopLine);
  }
}

TEST_F(LayoutFixture, LineOfOffsetFindsTheLineThatHoldsIt) {
  // Display lines: 0 [2, 9], 1 [10, 17], 2 [18, 21] and its blank line 3,
  // then right to left 4 [28, 35] and 5 [24, 27]. maxTopLine is 4.
  ASSERT_EQ(Lay(45, {{0x81, 0, "aaa bbb ccc ddd eee"}, {0x11, 0, "ihg fed cba"}}, 20), LAYOUT_DONE);
  ASSERT_EQ(view_->totalLines, 6);
  ASSERT_EQ(view_->maxTopLine, 4);
  const struct {
    const char* name;
    unsigned offset;
    int found, topLine;
  } rows[] = {
      {"the space a left to right line broke at ends the earlier line", 9, 1, 0},
      {"the first byte of the next line", 10, 1, 1},
      {"the end of a paragraph's text", 21, 1, 2},
      {"the space a right to left line broke at ends the line after it, held at maxTopLine", 27, 1, 4},
      {"inside a right to left line", 30, 1, 4},
      {"a flags byte lies in no line", 0, 0, 3},
      {"a parameter byte lies in no line", 23, 0, 3},
      {"past the article", 500, 0, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    view_->topLine = 3;
    EXPECT_EQ(LineOfOffset(view_, row.offset), row.found);
    EXPECT_EQ(view_->topLine, row.topLine);
  }
  EXPECT_EQ(LineOfOffset(nullptr, 9), 0);
}

TEST_F(LayoutFixture, LayoutResults) {
  ASSERT_EQ(Lay(50, {{0x81, 0, "ab"}, {0x01, 0, "cd"}}), LAYOUT_DONE);
  BYTE* first = view_->text;
  view_->topLine = 1;
  view_->hitStart = 3;
  view_->hitEnd = 4;

  EXPECT_EQ(LayoutArticle(nullptr, first, false), -1);

  const std::vector<Record> refused[] = {
      {{0xB1, 0, ""}, {0xB1, 0, "ab"}},  // the first text is empty
      {},                                // the first flags byte is zero
  };
  for (const auto& records : refused) {
    BYTE* text = viewtest::MakeArticle(records);
    EXPECT_EQ(LayoutArticle(view_, text, true), LAYOUT_EMPTY_ARTICLE);
    EXPECT_EQ(view_->text, first) << "the previous article stays";
    EXPECT_EQ(view_->lineCount, 2);
    LocalFree(text);
  }
  EXPECT_EQ(view_->hitStart, 0) << "every layout clears the highlight";
  EXPECT_EQ(view_->hitEnd, 0);
  EXPECT_EQ(view_->topLine, 1) << "layout never moves topLine";

  BYTE* rule = viewtest::MakeArticle({{0x07, 20, ""}});
  EXPECT_EQ(LayoutArticle(view_, rule, true), LAYOUT_DONE) << "an article may start with a rule";
  EXPECT_EQ(view_->text, rule);

  EXPECT_EQ(LayoutArticle(view_, nullptr, false), LAYOUT_NO_TEXT);
  EXPECT_EQ(view_->text, rule) << "without release the text stays";
  EXPECT_EQ(LayoutArticle(view_, nullptr, true), LAYOUT_NO_TEXT);
  EXPECT_EQ(view_->text, nullptr);
  EXPECT_EQ(view_->lineCount, 0);
  EXPECT_EQ(view_->lines[0].flags, 0);
  EXPECT_EQ(view_->totalLines, 0);
}

TEST_F(LayoutFixture, LayingOutTheViewsOwnTextAgainKeepsIt) {
  ASSERT_EQ(Lay(50, {{0x01, 0, "ab cd"}}), LAYOUT_DONE);
  BYTE* text = view_->text;
  EXPECT_EQ(LayoutArticle(view_, text, true), LAYOUT_DONE);
  EXPECT_EQ(view_->text, text);
  EXPECT_EQ(view_->lineCount, 1);
}

TEST_F(LayoutFixture, ResizeArticle) {
  ASSERT_EQ(Lay(60, {{0x01, 0, "aaa bbb ccc"}}), LAYOUT_DONE);
  ASSERT_EQ(view_->lineCount, 1);
  const struct {
    int width, height;
  } bad[] = {{0, 50}, {50, 0}, {-5, 50}, {50, -1}};
  for (const auto& b : bad) {
    EXPECT_EQ(ResizeArticle(view_, b.width, b.height), RESIZE_BAD_SIZE);
    EXPECT_EQ(view_->width, 60);
    EXPECT_EQ(view_->height, 100);
  }
  EXPECT_EQ(ResizeArticle(nullptr, 50, 50), -1);
  EXPECT_EQ(ResizeArticle(view_, 45, 10), LAYOUT_DONE);
  EXPECT_EQ(view_->lineCount, 2);
  EXPECT_EQ(view_->maxTopLine, 1);
}

struct StyleCase {
  int flags;
  COLORREF colour;
  LONG height;  // with a chosen size of 18
  LONG heightUnsized;
  LONG weight;
};

TEST_F(LayoutFixture, StylesPickFontAndColour) {
  const StyleCase cases[] = {
      {0x01, 0x000000, 18, 0, 400},   {0x02, 0x800000, 13, 14, 400}, {0x04, 0x000000, 22, 20, 400},
      {0x06, 0x800000, 22, 20, 400},  {0x08, 0x000000, 18, 0, 700},  {0x0C, 0xFF0000, 22, 20, 700},
      {0x0D, 0xFF0000, 22, 20, 700},  {0x0E, 0x800000, 22, 20, 700}, {0x1B, 0x800000, 13, 14, 700},
  };
  for (int sized = 0; sized < 2; ++sized) {
    struct FontSpec choice = sized ? viewtest::Font(u"Test Fixed", 18) : viewtest::Font(u"", 0);
    RECT box = {0, 0, 50, 50};
    ArticleView* view = CreateArticleView(canvas_.dc(), &box, &choice, 10);
    for (const StyleCase& c : cases) {
      SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags << (sized ? " sized" : " unsized"));
      SetTextColor(canvas_.dc(), 0x123456);
      HFONT before = SelectStyle(view, static_cast<BYTE>(c.flags), true);
      EXPECT_EQ(GetTextColor(canvas_.dc()), c.colour);
      SelectObject(canvas_.dc(), before);
      SetTextColor(canvas_.dc(), 0x123456);
      SelectObject(canvas_.dc(), SelectStyle(view, static_cast<BYTE>(c.flags | 0xE0), false));
      EXPECT_EQ(GetTextColor(canvas_.dc()), 0x123456u) << "no colour asked";
      HFONT font = BuildSlotFont(view, static_cast<BYTE>(c.flags & 0x1F));
      LOGFONTW lf;
      ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
      EXPECT_EQ(lf.lfHeight, sized ? c.height : c.heightUnsized);
      EXPECT_EQ(lf.lfWeight, c.weight);
      if (!sized) {
        EXPECT_EQ(lf.lfCharSet, HEBREW_CHARSET) << "no face: any Hebrew face";
      }
      DeleteObject(font);
    }
    int slots = 0;
    for (FontSlot* slot = view->fontSlots; slot != nullptr; slot = slot->next) ++slots;
    EXPECT_EQ(slots, 9) << "one slot per style key; the bits above it add none";
    DestroyArticleView(view, true);
  }
}

TEST_F(LayoutFixture, AStyleWithoutASlotIsDrawnWithTheFontInForce) {
  ScopedFont big(canvas_.dc(), u"Test Fixed", 20);
  MapToUnicode(reinterpret_cast<const BYTE*>("abcdefgh"), &MapScratch, 8);
  RECT box = {kLeft, 0, kLeft + 100, 100};
  view_ = CreateArticleView(canvas_.dc(), &box, &choice_, 10);
  BYTE* text = viewtest::MakeArticle({{0x01, 0, "ab"}});
  TestFailAllocationAt(1);  // the slot of the first style
  ASSERT_EQ(LayoutArticle(view_, text, true), LAYOUT_DONE);
  EXPECT_EQ(Lines(), (std::vector<Line>{{2, 2, 10, 0, 20, 20, 0x01}}));
  EXPECT_TRUE(viewtest::IsSelected(canvas_.dc(), big.font()));
  EXPECT_EQ(view_->fontSlots, nullptr);
  ASSERT_EQ(LayoutArticle(view_, view_->text, false), LAYOUT_DONE);
  EXPECT_EQ(Lines(), (std::vector<Line>{{2, 2, 10, 0, 10, 10, 0x01}})) << "the next layout tries again";
}

void ReleaseScratch() {
  LocalFree(MapScratch.units);
  MapScratch = {nullptr, 0};
  LocalFree(LineEnds.ends);
  LineEnds = {nullptr, 0};
}

// Every allocation a layout makes fails once in turn: the layout reports
// 0xFFFE or does without, the table stays terminated, the surface gets its
// font back and nothing leaks.
TEST_F(LayoutFixture, EveryAllocationOfALayoutMayFail) {
  ScopedFont font(canvas_.dc(), u"Test Fixed", 20);
  std::vector<Record> records = {{0xDC, 0, "eltit"}, {0xB1, 0, "ihg fed cba"}, {0x07, 50, ""}};
  for (int k = 0; k < 120; ++k) records.push_back({0x01, 0, "a b"});
  bool sawFailure = false;
  for (unsigned long nth = 1;; ++nth) {
    SCOPED_TRACE(nth);
    ReleaseScratch();
    long live = TestLiveAllocations();
    RECT box = {kLeft, 0, kLeft + 45, 100};
    ArticleView* view = CreateArticleView(canvas_.dc(), &box, &choice_, 100);
    ASSERT_NE(view, nullptr);
    BYTE* text = viewtest::MakeArticle(records);
    unsigned long before = TestAllocationCalls();
    TestFailAllocationAt(nth);
    int result = LayoutArticle(view, text, true);
    bool failed = TestAllocationCalls() - before >= nth;
    TestFailAllocationAt(0);
    EXPECT_TRUE(viewtest::IsSelected(canvas_.dc(), font.font()));
    EXPECT_EQ(view->lines[view->lineCount].flags, 0);
    if (result == LAYOUT_NO_MEMORY) {
      sawFailure = true;
      EXPECT_TRUE(failed);
      EXPECT_EQ(view->text, nullptr) << "the text is not taken over";
      LocalFree(text);
    } else {
      EXPECT_EQ(result, LAYOUT_DONE);
      EXPECT_EQ(view->text, text);
    }
    DestroyArticleView(view, true);
    ReleaseScratch();
    EXPECT_EQ(TestLiveAllocations(), live) << "nothing leaks";
    if (!failed) break;
  }
  EXPECT_TRUE(sawFailure);
}

TEST_F(LayoutFixture, CreateArticleView) {
  RECT box = {3, 4, 53, 24};
  EXPECT_EQ(CreateArticleView(nullptr, &box, &choice_, 100), nullptr) << "no surface";
  TestFailAllocationAt(1);
  EXPECT_EQ(CreateArticleView(canvas_.dc(), &box, &choice_, 100), nullptr) << "no memory for the view";
  TestFailAllocationAt(2);
  view_ = CreateArticleView(canvas_.dc(), &box, &choice_, 100);
  ASSERT_NE(view_, nullptr) << "a view without a table";
  EXPECT_EQ(view_->lines, nullptr);
  EXPECT_EQ(view_->lineCapacity, 0);
  EXPECT_EQ(view_->left, 3);
  EXPECT_EQ(view_->top, 4);
  EXPECT_EQ(view_->width, 50);
  EXPECT_EQ(view_->height, 20);
  EXPECT_EQ(std::u16string(view_->fontSpec.faceName), u"Test Fixed");
  DestroyArticleView(view_, true);
  view_ = CreateArticleView(canvas_.dc(), nullptr, &choice_, 7);
  ASSERT_NE(view_, nullptr);
  EXPECT_EQ(view_->width, 0);
  EXPECT_EQ(view_->lineCapacity, 7);
  EXPECT_EQ(view_->lines[0].flags, 0) << "an empty, terminated table";
  EXPECT_EQ(view_->text, nullptr);
}

TEST_F(LayoutFixture, DestroyReleasesEverything) {
  ReleaseScratch();  // the buffers that live for the whole run
  long live = TestLiveAllocations();
  ASSERT_EQ(Lay(50, {{0xDC, 0, "ab"}, {0xB2, 0, "cd"}}), LAYOUT_DONE);
  DestroyArticleView(view_, false);
  EXPECT_EQ(view_->text, nullptr);
  EXPECT_EQ(view_->lines, nullptr);
  EXPECT_EQ(view_->fontSlots, nullptr);
  DestroyArticleView(view_, true);
  view_ = nullptr;
  ReleaseScratch();
  EXPECT_EQ(TestLiveAllocations(), live);
}

TEST_F(LayoutFixture, SetArticleFont) {
  EXPECT_EQ(SetArticleFont(nullptr, &choice_), -1);
  ASSERT_EQ(Lay(50, {{0x01, 0, "abc def"}}), LAYOUT_DONE);
  ASSERT_NE(view_->fontSlots, nullptr);
  EXPECT_EQ(SetArticleFont(view_, nullptr), 0);
  for (FontSlot* slot = view_->fontSlots; slot != nullptr; slot = slot->next) EXPECT_EQ(slot->font, nullptr);

  struct FontSpec larger = viewtest::Font(u"Test Fixed", 20);
  view_->pageLines = -7;
  EXPECT_EQ(SetArticleFont(view_, &larger), 0) << "laid out again and painted";
  EXPECT_EQ(view_->fontSpec.size, 20);
  EXPECT_EQ(Lines(), (std::vector<Line>{{2, 3, 10, 0, 30, 20, 0x01}, {6, 3, 10, 0, 30, 20, 0x01}}));
  EXPECT_EQ(view_->pageLines, 2);
  for (FontSlot* slot = view_->fontSlots; slot != nullptr; slot = slot->next) EXPECT_NE(slot->font, nullptr);

  ASSERT_EQ(LayoutArticle(view_, nullptr, true), LAYOUT_NO_TEXT);
  EXPECT_EQ(SetArticleFont(view_, &choice_), 1) << "nothing to lay out";
}

}  // namespace
