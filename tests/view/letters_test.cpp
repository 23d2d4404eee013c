#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "platform/memory.h"
#include "platform/testing.h"
#include "view/font_choice.h"
#include "view/letters.h"
#include "view_test_support.h"

namespace {

struct MapCase {
  const char* name;
  int letterBase;
  bool reverse;
  std::string bytes;
  int count;
  std::u16string want;
};

const MapCase kMapCases[] = {
    {"Unicode Hebrew letters", 1488, false, "abc{", 4, u"\u05D0\u05D1\u05D2\u05EA"},
    {"letters at 0xE0", 224, false, "abc{", 4, u"\u00E0\u00E1\u00E2\u00FA"},
    {"stored bytes as they are", 97, false, "abc{", 4, u"abc{"},
    {"tilde is an opening brace", 1488, false, "~", 1, u"{"},
    {"tilde with the bytes shown as they are", 97, false, "~", 1, u"{"},
    {"bar, closing brace and backquote pass through", 1488, false, "|}`", 3, u"|}`"},
    {"punctuation and space pass through", 1488, false, " .:'\"?-", 7, u" .:'\"?-"},
    {"reversed with the bracket mirrored", 1488, true, "a(b", 3, u"\u05D1)\u05D0"},
    {"base 97 never reverses", 97, true, "a(b", 3, u"a(b"},
    {"every bracket turns", 1488, true, "([~}])", 6, u"([{}])"},
    {"a lone bracket turns", 1488, true, "(", 1, u")"},
    {"a count of zero", 1488, true, "abc", 0, u""},
    {"stops at a zero byte", 1488, false, std::string("ab\0cd", 5), 5, u"\u05D0\u05D1"},
    {"only count bytes", 1488, false, "abcd", 2, u"\u05D0\u05D1"},
    {"reverses only the given count", 1488, true, "abcd", 2, u"\u05D1\u05D0"},
};

void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

class Mapping : public viewtest::ViewTest, public ::testing::WithParamInterface<MapCase> {};

TEST_P(Mapping, ScratchAndNewBufferAgree) {
  const MapCase& c = GetParam();
  FontSpec.letterBase = c.letterBase;
  Flags = c.reverse ? (DEFAULT_FLAGS | FLAG_REVERSE) : (DEFAULT_FLAGS & ~FLAG_REVERSE);
  const BYTE* text = reinterpret_cast<const BYTE*>(c.bytes.data());
  WCHAR* inScratch = MapToUnicode(text, &MapScratch, c.count);
  ASSERT_NE(inScratch, nullptr);
  EXPECT_EQ(std::u16string(inScratch), c.want);
  WCHAR* own = MapToUnicode(text, nullptr, c.count);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(std::u16string(own), c.want);
  EXPECT_GE(LocalSize(own), (c.count + 1u) * sizeof(WCHAR));
  LocalFree(own);
}

INSTANTIATE_TEST_SUITE_P(Table, Mapping, ::testing::ValuesIn(kMapCases), ByCaseName());

struct MirrorCase {
  const char* name;
  std::u16string in, want;
};

const MirrorCase kMirrorCases[] = {
    {"empty", u"", u""},
    {"one bracket", u"(", u")"},
    {"pairs keep facing each other", u"(a)", u"(a)"},
    {"even run", u"a[b}", u"{b]a"},
    {"plain letters", u"\u05D0\u05D1\u05D2", u"\u05D2\u05D1\u05D0"},
};

TEST(MirrorReverse, Table) {
  for (const MirrorCase& c : kMirrorCases) {
    SCOPED_TRACE(c.name);
    std::u16string units = c.in;
    EXPECT_EQ(MirrorReverse(units.data(), static_cast<int>(units.size())), 0);
    EXPECT_EQ(units, c.want);
    EXPECT_EQ(MirrorReverse(units.data(), static_cast<int>(units.size())), 0);
    EXPECT_EQ(units, c.in) << "twice gives the run back";
  }
}

class Scratch : public viewtest::ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    LocalFree(MapScratch.units);
    MapScratch = {nullptr, 0};
  }
};

TEST_F(Scratch, GrowsOnlyForALongerRun) {
  const BYTE* text = reinterpret_cast<const BYTE*>("abcdefghij");
  unsigned long calls = TestAllocationCalls();
  WCHAR* first = MapToUnicode(text, &MapScratch, 6);
  EXPECT_EQ(TestAllocationCalls(), calls + 1);
  EXPECT_EQ(MapScratch.capacity, 6);
  EXPECT_EQ(MapToUnicode(text, &MapScratch, 6), first);
  EXPECT_EQ(MapToUnicode(text, &MapScratch, 3), first);
  EXPECT_EQ(TestAllocationCalls(), calls + 1) << "no allocation for a run that fits";
  MapToUnicode(text, &MapScratch, 10);
  EXPECT_EQ(TestAllocationCalls(), calls + 2);
  EXPECT_EQ(MapScratch.capacity, 10);
  EXPECT_EQ(std::u16string(MapScratch.units), u"abcdefghij");
}

TEST_F(Scratch, OutOfMemoryLeavesItEmptyAndTheNextCallTriesAgain) {
  const BYTE* text = reinterpret_cast<const BYTE*>("abcdef");
  MapToUnicode(text, &MapScratch, 2);
  TestFailAllocationAt(1);
  EXPECT_EQ(MapToUnicode(text, &MapScratch, 6), nullptr);
  EXPECT_EQ(MapScratch.units, nullptr);
  EXPECT_EQ(MapScratch.capacity, 0);
  TestFailAllocationAt(1);
  EXPECT_EQ(MapToUnicode(text, nullptr, 6), nullptr) << "a new buffer that cannot be had";
  WCHAR* again = MapToUnicode(text, &MapScratch, 6);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(std::u16string(again), u"abcdef");
}

TEST_F(Scratch, ReversingNeverAllocates) {
  FontSpec.letterBase = 1488;
  Flags |= FLAG_REVERSE;
  const BYTE* text = reinterpret_cast<const BYTE*>("ab(c)");
  MapToUnicode(text, &MapScratch, 5);
  unsigned long calls = TestAllocationCalls();
  for (int k = 0; k < 10; ++k) MapToUnicode(text, &MapScratch, 5);
  EXPECT_EQ(TestAllocationCalls(), calls);
}

}  // namespace
