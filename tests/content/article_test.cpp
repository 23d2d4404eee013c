#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "case_name.h"
#include "content/article.h"

namespace {

struct Rec {
  int offset, flags, parameter, textLength;
  bool operator==(const Rec&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rec& r) {
  return os << "{" << r.offset << ", 0x" << std::hex << r.flags << ", 0x" << r.parameter
            << std::dec << ", " << r.textLength << "}";
}

// Walks a heap copy of exactly `size` bytes, so a look at byte D or beyond
// is caught by the sanitizers.
std::vector<Rec> Walk(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> exact(data);
  std::vector<Rec> out;
  unsigned at = 0;
  ParagraphRecord r;
  while (NextParagraph(exact.data(), static_cast<unsigned>(exact.size()), &at, &r)) {
    EXPECT_EQ(r.textOffset, r.offset + 2);
    out.push_back({r.offset, r.flags, r.parameter, r.textLength});
    if (out.size() > data.size()) break;  // would be an endless walk
  }
  return out;
}

struct Case {
  const char* name;
  std::vector<uint8_t> data;  // exactly the D bytes of the article
  std::vector<Rec> want;
};

const Case kCases[] = {
    {"two records and the stored end", {0xDC, 0, 'a', 'b', 0, 0xB1, 0, 'c', 0, 0, 0, 0},
     {{0, 0xDC, 0, 2}, {5, 0xB1, 0, 1}}},
    {"a rule is three bytes", {0x87, 160, 0, 0xB1, 1, 'x', 0, 0}, {{0, 0x87, 160, 0}, {3, 0xB1, 1, 1}}},
    {"first byte zero is an empty article", {0, 0xB1, 0, 'a', 0}, {}},
    {"no data at all", {}, {}},
    {"the last text runs to the end of the data", {0xB1, 0, 'a', 0, 0xB2, 0, 'b', 'c'},
     {{0, 0xB1, 0, 1}, {4, 0xB2, 0, 2}}},
    {"a flags byte at D - 1 has no parameter: the article ends", {0xB1, 0, 'a', 0, 0xB2}, {{0, 0xB1, 0, 1}}},
    {"flags and parameter end the data: an empty text", {0xB1, 0, 'a', 0, 0x51, 7}, {{0, 0xB1, 0, 1}, {4, 0x51, 7, 0}}},
    {"a single flags byte", {0xB1}, {}},
    {"text zero is the last data byte", {0xB1, 0, 'a', 'b', 0}, {{0, 0xB1, 0, 2}}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Walks : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(Walks, RecordsStayInsideTheData) { EXPECT_EQ(Walk(GetParam().data), GetParam().want); }

INSTANTIATE_TEST_SUITE_P(Table, Walks, ::testing::ValuesIn(kCases), ByCaseName());

TEST(ArticleWalk, AnyBytesEndWithinTheData) {
  uint64_t x = 88172645463325252ull;  // xorshift64
  for (int round = 0; round < 5000; ++round) {
    std::vector<uint8_t> data(1 + round % 64);
    for (uint8_t& b : data) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      b = static_cast<uint8_t>(x % 4 == 0 ? 0 : x >> 8);
    }
    std::vector<Rec> recs = Walk(data);
    unsigned next = 0;
    for (const Rec& r : recs) {
      ASSERT_EQ(static_cast<unsigned>(r.offset), next) << "records follow one another";
      ASSERT_LE(r.offset + 2u + r.textLength, data.size());
      next = r.offset + 2u + r.textLength + 1;
    }
  }
}

TEST(ArticleWalk, BoundedTextLength) {
  const uint8_t data[] = {'a', 'b', 0, 'c', 'd'};
  EXPECT_EQ(BoundedTextLength(data, 5, 0), 2u);
  EXPECT_EQ(BoundedTextLength(data, 5, 2), 0u);
  EXPECT_EQ(BoundedTextLength(data, 5, 3), 2u) << "no zero: ends at the data's end";
  EXPECT_EQ(BoundedTextLength(data, 5, 5), 0u);
  EXPECT_EQ(BoundedTextLength(data, 5, 9), 0u);
}
