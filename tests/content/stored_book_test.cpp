// The book built into this program: every stored item comes back whole, and
// the index describes the sides. The shape checks at the end hold for the
// default book only (a build with BOOK=… carries another).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "content/article.h"
#include "content/stored.h"
#include "index/entry_stream.h"
#include "platform/memory.h"
#include "platform/resource.h"
#include "platform/testing.h"
#include "reference_decoder.h"

namespace {

struct Item {
  int n;
  std::vector<uint8_t> data;  // the D bytes
};

struct Header {
  unsigned length, tag1, tag2, compressed, expanded;
  const uint8_t* stream;
  DWORD size;
};

Header ReadHeader(int n) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW((1000 + n) & 0xFFFF), RT_RCDATA);
  EXPECT_NE(found, nullptr) << n;
  if (found == nullptr) return {};
  const uint8_t* r = static_cast<const uint8_t*>(LoadResource(nullptr, found));
  auto get = [r](int at) { return static_cast<unsigned>(r[at] << 8 | r[at + 1]); };
  return {get(0), get(2), get(4), get(6), get(8), r + 10, SizeofResource(nullptr, found)};
}

std::vector<uint8_t> Fetch(int n) {
  int error = 0;
  BYTE* block = FetchStored(n, &error);
  EXPECT_NE(block, nullptr) << "item " << n << " code " << error;
  if (block == nullptr) return {};
  std::vector<uint8_t> data(block, block + StoredLength(block));
  EXPECT_EQ(block[data.size()], 0);
  LocalFree(block);
  return data;
}

std::vector<IndexEntry> Entries(const std::vector<uint8_t>& index) {
  std::vector<IndexEntry> out;
  unsigned at = 0;
  IndexEntry e;
  while (NextIndexEntry(index.data(), static_cast<unsigned>(index.size()), &at, &e)) out.push_back(e);
  return out;
}

std::vector<ParagraphRecord> Records(const std::vector<uint8_t>& article, unsigned* end) {
  std::vector<ParagraphRecord> out;
  unsigned at = 0;
  ParagraphRecord r;
  while (NextParagraph(article.data(), static_cast<unsigned>(article.size()), &at, &r)) out.push_back(r);
  *end = at;
  return out;
}

}  // namespace

TEST(StoredBook, EveryItemExpandsToDBytesFromExactlyCBytes) {
  TestClearMessageBoxes();
  std::vector<int> items;
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) items.push_back(n);
  items.push_back(INDEX_NUMBER);
  for (int n : items) {
    SCOPED_TRACE(n);
    Header h = ReadHeader(n);
    bool index = n == INDEX_NUMBER;
    EXPECT_EQ(h.length, h.compressed + 8);
    EXPECT_EQ(h.tag1, index ? 1u : n + 20u);
    EXPECT_EQ(h.tag2, index ? 255u : n + 20u);
    ASSERT_EQ(h.size, 10 + h.compressed + 4);
    EXPECT_EQ(std::vector<uint8_t>(h.stream + h.compressed, h.stream + h.compressed + 4),
              std::vector<uint8_t>(4, 0));
    ReferenceResult ref = ReferenceDecode(h.stream, h.compressed, h.expanded);
    ASSERT_TRUE(ref.ok);
    EXPECT_EQ(ref.consumed, h.compressed) << "the stream is used up exactly";
    std::vector<uint8_t> data = Fetch(n);
    EXPECT_EQ(data.size(), h.expanded);
    EXPECT_EQ(data, ref.out);
  }
  EXPECT_TRUE(TestMessageBoxes().empty());
  int error = 0;
  EXPECT_EQ(FetchStored(LAST_ARTICLE + 1, &error), nullptr);
  EXPECT_EQ(error, STORE_NOT_FOUND);
}

TEST(StoredBook, IndexListsEverySideUnderItsGroup) {
  std::vector<uint8_t> index = Fetch(INDEX_NUMBER);
  std::vector<IndexEntry> entries = Entries(index);
  ASSERT_FALSE(entries.empty());
  unsigned group = 0x3FFE;
  int nextSide = 1;
  for (size_t i = 0; i < entries.size(); ++i) {
    const IndexEntry& e = entries[i];
    SCOPED_TRACE(i);
    EXPECT_GT(e.textLength, 0);
    if (e.id & IE_GROUP_ID) {
      EXPECT_EQ(e.id, IE_GROUP_ID | group--);
      EXPECT_EQ(e.flags, 0x8C);
      EXPECT_EQ(e.level, 1);
      if (i + 1 < entries.size()) {
        EXPECT_FALSE(entries[i + 1].id & IE_GROUP_ID) << "no empty groups";
      }
    } else {
      ASSERT_GT(i, 0u) << "the first side comes after a group";
      EXPECT_EQ(e.id, IE_ARTICLE_ID | nextSide);
      EXPECT_EQ(e.flags, 0x01);
      EXPECT_EQ(e.level, 2);
      nextSide += 2;
    }
  }
  EXPECT_EQ(nextSide, LAST_ARTICLE + 1) << "one entry for every main-text article";
  const IndexEntry& last = entries.back();
  size_t end = last.textOffset + last.textLength + 1u;
  EXPECT_EQ(index.size(), end + 5) << "the stream ends with 5 zero bytes";
  EXPECT_EQ(std::vector<uint8_t>(index.begin() + static_cast<long>(end), index.end()),
            std::vector<uint8_t>(5, 0));
}

TEST(StoredBook, EveryArticleEndsWithItsEndMarkInsideD) {
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) {
    SCOPED_TRACE(n);
    std::vector<uint8_t> article = Fetch(n);
    unsigned end = 0;
    std::vector<ParagraphRecord> records = Records(article, &end);
    ASSERT_FALSE(records.empty());
    ASSERT_LT(end, article.size());
    EXPECT_EQ(article[end], 0) << "the end mark";
    EXPECT_EQ(article.size(), end + 3u) << "the end mark and two more zero bytes";
    if (!IsRuleRecord(records[0].flags)) {
      EXPECT_GT(records[0].textLength, 0);
    }
  }
}

#ifdef LUMORA_DEFAULT_BOOK

TEST(DefaultBook, IndexHasSixGroupsOfTheStoredSizes) {
  std::vector<uint8_t> index = Fetch(INDEX_NUMBER);
  EXPECT_EQ(index.size(), 1254u);
  std::vector<IndexEntry> entries = Entries(index);
  EXPECT_EQ(entries.size(), 116u);
  std::vector<int> sizes;
  for (const IndexEntry& e : entries) {
    if (e.id & IE_GROUP_ID) sizes.push_back(0);
    else ++sizes.back();
    EXPECT_TRUE(e.textLength == 5 || e.textLength == 6) << e.textLength;
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 20, 20, 20, 14}));
}

TEST(DefaultBook, ArticlesHaveTheStoredPattern) {
  const std::set<uint8_t> allowedPunctuation = {' ', '"', '.', ':', '\'', '(', ')', '[', ']', '?'};
  size_t fewest = 1000, most = 0, longestText = 0, largest = 0;
  int commentaryWithTextFirst = 0;
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) {
    SCOPED_TRACE(n);
    bool main = n % 2 == 1;
    std::vector<uint8_t> article = Fetch(n);
    largest = std::max(largest, article.size());
    unsigned end = 0;
    std::vector<ParagraphRecord> records = Records(article, &end);
    fewest = std::min(fewest, records.size());
    most = std::max(most, records.size());
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[0].flags, 0xDC);
    if (!main && records[1].flags == 0xB2) ++commentaryWithTextFirst;
    for (size_t i = 0; i < records.size(); ++i) {
      const ParagraphRecord& r = records[i];
      EXPECT_EQ(r.parameter, 0);
      longestText = std::max<size_t>(longestText, r.textLength);
      if (i == 0) continue;
      if (main) {
        EXPECT_EQ(r.flags, 0xB1);
      } else {
        EXPECT_TRUE(r.flags == 0x51 || r.flags == 0xB2) << int(r.flags);
        if (r.flags == 0x51) {
          ASSERT_LT(i + 1, records.size()) << "a lemma is followed by its text";
          EXPECT_EQ(records[i + 1].flags, 0xB2);
        }
      }
      for (unsigned k = 0; k < r.textLength; ++k) {
        uint8_t b = article[r.textOffset + k];
        ASSERT_TRUE((b >= 0x61 && b <= 0x7B) || allowedPunctuation.count(b)) << int(b);
      }
    }
  }
  EXPECT_EQ(fewest, 2u);
  EXPECT_EQ(most, 92u);
  EXPECT_GT(commentaryWithTextFirst, 0);
  EXPECT_GE(longestText, 2300u);
  EXPECT_LE(longestText, 2600u);
  EXPECT_GE(largest, 4500u);
  EXPECT_LE(largest, 5500u);
}

#endif
