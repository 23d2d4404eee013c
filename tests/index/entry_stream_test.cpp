#include <gtest/gtest.h>

#include <vector>

#include "index/entry_stream.h"

namespace {

struct Entry {
  int offset, id, flags, level, textLength;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
  return os << "{" << e.offset << ", 0x" << std::hex << e.id << ", 0x" << e.flags << std::dec << ", "
            << e.level << ", " << e.textLength << "}";
}

std::vector<Entry> Walk(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> exact(data);  // exact size: the sanitizers see any overrun
  std::vector<Entry> out;
  unsigned at = 0;
  IndexEntry e;
  while (NextIndexEntry(exact.data(), static_cast<unsigned>(exact.size()), &at, &e)) {
    EXPECT_EQ(e.textOffset, e.offset + 4);
    out.push_back({e.offset, e.id, e.flags, e.level, e.textLength});
    if (out.size() > data.size()) break;
  }
  return out;
}

}  // namespace

TEST(IndexEntryWalk, RecordsEndAtTheEndMarkOrTheData) {
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    std::vector<Entry> want;
  } cases[] = {
      {"group, side and end mark",
       {0xFE, 0xBF, 0x8C, 1, 'a', 'b', 0, 0x01, 0x40, 0x01, 2, 'c', 0, 0, 0, 0, 0, 0},
       {{0, 0xBFFE, 0x8C, 1, 2}, {7, 0x4001, 0x01, 2, 1}}},
      {"end mark only", {0, 0, 0, 0, 0}, {}},
      {"flags zero ends even with an id", {0x77, 0x88, 0, 1, 'x', 0}, {}},
      {"header cut short", {0x77, 0x88, 0xC1}, {}},
      {"text runs to the end", {0x77, 0x88, 0xC1, 1, 'j', 'i'}, {{0, 0x8877, 0xC1, 1, 2}}},
      {"header exactly at the end", {0x77, 0x88, 0xC1, 1}, {{0, 0x8877, 0xC1, 1, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Walk(c.data), c.want);
  }
}
