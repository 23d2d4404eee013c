// The text primitives with "Test Fixed" at size 10: every character
// advances 5 pixels and is drawn as a box outline whose top-left pixel is
// (pen x, top + 1).
#include <gtest/gtest.h>

#include <string>

#include "platform/testing.h"
#include "view/font_choice.h"
#include "view/letters.h"
#include "view/text_run.h"
#include "view_test_support.h"

namespace {

class TextRun : public viewtest::ViewTest {
 protected:
  void ResetScratch() {
    LocalFree(MapScratch.units);
    MapScratch = {nullptr, 0};
  }
  static const BYTE* Bytes(const char* s) { return reinterpret_cast<const BYTE*>(s); }

  Canvas canvas_{60, 20};
  ScopedFont font_{canvas_.dc(), u"Test Fixed", 10};
};

TEST_F(TextRun, MeasureRunCountsWhatFitsFromTheFirstStoredByte) {
  const struct {
    const char* name;
    std::string text;
    int room, count;
    int wantCount, wantWidth;
  } rows[] = {
      {"three letters, a space, three letters in room for five", "abc def", 25, 7, 5, 25},
      {"one pixel short of five", "abc def", 24, 7, 4, 20},
      {"room 0", "abc def", 0, 7, 0, 0},
      {"no bytes", "abc def", 100, 0, 0, 0},
      {"all of it", "abc def", 1000, 7, 7, 35},
      {"stops at a zero byte", std::string("ab\0cd", 5), 100, 5, 2, 10},
  };
  for (int letterBase : {97, 1488}) {
    for (bool reverse : {false, true}) {
      FontSpec.letterBase = letterBase;
      Flags = reverse ? (DEFAULT_FLAGS | FLAG_REVERSE) : DEFAULT_FLAGS;
      for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name << (reverse ? ", reversed" : "") << ", base " << letterBase);
        int width = row.room, count = row.count;
        EXPECT_EQ(MeasureRun(canvas_.dc(), Bytes(row.text.data()), &width, &count), 0);
        EXPECT_EQ(count, row.wantCount);
        EXPECT_EQ(width, row.wantWidth);
      }
    }
  }
}

TEST_F(TextRun, WithoutMemoryNothingFitsAndNothingIsDrawn) {
  ResetScratch();
  int width = 100, count = 3;
  TestFailAllocationAt(1);
  EXPECT_EQ(MeasureRun(canvas_.dc(), Bytes("abc"), &width, &count), -1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(width, 0);
  SIZE size = {7, 7};
  TestFailAllocationAt(1);
  EXPECT_EQ(RunExtent(canvas_.dc(), Bytes("abc"), 3, &size), -1);
  EXPECT_EQ(size.cx, 0);
  TestFailAllocationAt(1);
  DrawRun(canvas_.dc(), Bytes("abc"), 3, 0, 0, 15, 10);
  EXPECT_TRUE(viewtest::AllOf(canvas_, 0, 0, 60, 20, 0xFFFFFF));
  EXPECT_EQ(MeasureRun(canvas_.dc(), Bytes("abc"), &width, &count), 0) << "the next call tries again";
}

TEST_F(TextRun, RunExtentHasNoWidthLimit) {
  SIZE size;
  EXPECT_EQ(RunExtent(canvas_.dc(), Bytes("abcdefghijklmnopqrstuvwxyz"), 26, &size), 0);
  EXPECT_EQ(size.cx, 130);
  EXPECT_EQ(size.cy, 10);
}

TEST_F(TextRun, DrawRunFollowsReverse) {
  // "a" then two spaces: only the letter leaves ink, so its place shows the order.
  const struct {
    const char* name;
    int letterBase;
    bool reverse;
    int inkX;
  } rows[] = {
      {"stored order", 1488, false, 0},
      {"reversed", 1488, true, 10},
      {"base 97 is never reversed", 97, true, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    canvas_.Clear(0xFFFFFF);
    FontSpec.letterBase = row.letterBase;
    Flags = row.reverse ? (DEFAULT_FLAGS | FLAG_REVERSE) : DEFAULT_FLAGS;
    DrawRun(canvas_.dc(), Bytes("a  "), 3, 20, 5, 15, 10);
    EXPECT_EQ(canvas_.At(20 + row.inkX, 6), 0u);
    EXPECT_EQ(canvas_.At(30 - row.inkX, 6), 0xFFFFFFu);
  }
}

TEST_F(TextRun, DrawRunColoredLeavesTheSurfaceAsItWas) {
  HDC dc = canvas_.dc();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0x102030);
  SetBkColor(dc, 0x405060);
  DrawRunColored(dc, Bytes("ab"), 2, 10, 5, 10, 10, 0xFF0000, 0x00FFFF);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetTextColor(dc), 0x102030u);
  EXPECT_EQ(GetBkColor(dc), 0x405060u);
  EXPECT_EQ(canvas_.At(10, 6), 0xFF0000u) << "the glyph's outline in the text colour";
  EXPECT_EQ(canvas_.At(12, 9), 0x00FFFFu) << "inside the glyph: the background colour";
  EXPECT_EQ(canvas_.At(19, 14), 0x00FFFFu) << "the box is filled to its edge";
  EXPECT_EQ(canvas_.At(20, 9), 0xFFFFFFu) << "and not past it";
  EXPECT_EQ(canvas_.At(9, 9), 0xFFFFFFu);
}

TEST_F(TextRun, FillBoxPaintsTheBoxWithAStockBrush) {
  canvas_.Clear(0x0000FF);
  Box box = {5, 2, 10, 8};
  FillBox(canvas_.dc(), &box, WHITE_BRUSH);
  EXPECT_TRUE(viewtest::AllOf(canvas_, 5, 2, 15, 10, 0xFFFFFF));
  EXPECT_EQ(canvas_.At(4, 2), 0x0000FFu);
  EXPECT_EQ(canvas_.At(15, 2), 0x0000FFu);
  EXPECT_EQ(canvas_.At(5, 10), 0x0000FFu);
}

}  // namespace
