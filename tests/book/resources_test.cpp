// The stored bytes: article records, the index stream, the containers and
// the pack, checked against the readers' own walks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "book_test_support.h"
#include "content/stored.h"
#include "index/entry_stream.h"
#include "platform/memory.h"
#include "platform/resource_pack.h"
#include "tools/book/book_resources.h"
#include "tools/book/book_text.h"

namespace {

using namespace std::string_literals;
using booktest::AsString;

book::CompiledBook SmallBook() { return booktest::CompileText(booktest::ReadFile(booktest::DataPath("small.book"))); }

TEST(bookResources, ContainerHeaderIsBigEndianWithTheTrailingZeros) {
  std::vector<uint8_t> stream = {'a', 0x80, 0x08, 0x12, 0x34};
  EXPECT_EQ(AsString(book::WrapContainer(21, 21, stream, 0x1234)),
            "\x00\x0D\x00\x15\x00\x15\x00\x05\x12\x34"s + "a\x80\x08\x12\x34" + "\0\0\0\0"s);
  EXPECT_EQ(AsString(book::WrapContainer(1, 255, stream, 300)).substr(0, 10), "\x00\x0D\x00\x01\x00\xFF\x00\x05\x01\x2C"s);
}

TEST(bookResources, ArticleRecordsInDisplayOrderWithTheirEndMark) {
  book::CompiledBook compiled = booktest::CompileText(booktest::WithFillerSides(
      "# ג\n## א\n### main\n"
      "! אב\n"
      "אב (12)\nג\n"
      "{flags=0x21 param=0x05} A(1\n"
      "{flags=0x30 param=0x00} אב\n"
      "--- 50\n"
      "{flags=0x07 param=0xD2}\n"
      "### commentary\n! ג\n> ד\nה\n"));
  ASSERT_EQ(compiled.items.size(), 221u);
  // RTL records (flags bit 0x10) are reversed, brackets turned, the number kept.
  EXPECT_EQ(AsString(compiled.items[0].data),
            "\xDC\0ba\0"s "\xB1\0c (12) ba\0"s "\x21\x05" "A(1\0"s "\x30\0ba\0"s "\x87\x32\0"s "\x07\xD2\0"s "\0\0\0"s);
  EXPECT_EQ(AsString(compiled.items[1].data), "\xDC\0c\0\x51\0d\0\xB2\0e\0\0\0\0"s);
  EXPECT_EQ(compiled.items[0].records, 6u);
}

TEST(bookResources, EveryContainerHasItsHeaderAndOpensInTheReader) {
  book::CompiledBook compiled = SmallBook();
  ASSERT_EQ(compiled.items.size(), 221u);
  for (size_t i = 0; i < compiled.items.size(); ++i) {
    const book::CompiledItem& item = compiled.items[i];
    SCOPED_TRACE(item.resourceId);
    bool isIndex = i == 220;
    EXPECT_EQ(item.number, isIndex ? 32767 : static_cast<int>(i) + 1);
    EXPECT_EQ(static_cast<size_t>(item.resourceId), isIndex ? 32767 : 1001 + i);
    const std::vector<uint8_t>& c = item.container;
    ASSERT_EQ(c.size(), item.stream.size() + 14);
    auto word = [&](size_t at) { return static_cast<size_t>(c[at] << 8 | c[at + 1]); };
    EXPECT_EQ(word(0), item.stream.size() + 8);
    EXPECT_EQ(word(2), static_cast<size_t>(isIndex ? 1 : item.number + 20));
    EXPECT_EQ(word(4), static_cast<size_t>(isIndex ? 255 : item.number + 20));
    EXPECT_EQ(word(6), item.stream.size());
    EXPECT_EQ(word(8), item.data.size());
    EXPECT_EQ(std::vector<uint8_t>(c.begin() + 10, c.end() - 4), item.stream);
    EXPECT_EQ(AsString({c.end() - 4, c.end()}), "\0\0\0\0"s);
    int error = 0;
    BYTE* block = OpenContainer(c.data(), static_cast<DWORD>(c.size()), &error);
    ASSERT_NE(block, nullptr) << error;
    EXPECT_EQ(std::vector<uint8_t>(block, block + item.data.size()), item.data);
    LocalFree(block);
  }
  std::string error;
  EXPECT_TRUE(book::VerifyCompiledBook(compiled, &error)) << error;
}

TEST(bookResources, IndexListsGroupsThenTheirSides) {
  book::CompiledBook compiled = SmallBook();
  const std::vector<uint8_t>& data = book::FindItem(compiled, book::kIndexResource)->data;
  // Group "חלק 1" and side "דף 1", both stored in display order.
  EXPECT_EQ(AsString(data).substr(0, 19), "\xFE\xBF\x8C\x01" "1 xmh\0"s "\x01\x40\x01\x02" "1 td\0"s);
  EXPECT_EQ(AsString(data).substr(data.size() - 5), "\0\0\0\0\0"s);

  unsigned offset = 0;
  IndexEntry e;
  int side = 0;
  int groups = 0;
  while (NextIndexEntry(data.data(), static_cast<unsigned>(data.size()), &offset, &e)) {
    std::string text(reinterpret_cast<const char*>(data.data()) + e.textOffset, e.textLength);
    if (side == 0 || side == 40 || side == 80) {
      if (e.id & IE_GROUP_ID) {
        SCOPED_TRACE(groups);
        EXPECT_EQ(e.id, 0xBFFE - groups);
        EXPECT_EQ(e.flags, 0x8C);
        EXPECT_EQ(e.level, 1);
        EXPECT_EQ(book::DisplayOrder(text), "hmx " + std::to_string(groups + 1));
        ++groups;
        continue;
      }
    }
    ++side;
    SCOPED_TRACE(side);
    EXPECT_EQ(e.id, 0x4000 | (2 * side - 1));
    EXPECT_EQ(e.flags, 0x01);
    EXPECT_EQ(e.level, 2);
    EXPECT_EQ(book::DisplayOrder(text), "dt " + std::to_string(side));
  }
  EXPECT_EQ(groups, 3);
  EXPECT_EQ(side, 110);
  EXPECT_EQ(offset, data.size() - 5);
}

TEST(bookResources, PackHoldsExactlyTheContainers) {
  book::CompiledBook compiled = SmallBook();
  std::vector<uint8_t> pack;
  std::string error;
  ASSERT_TRUE(BuildResourcePack(book::BookResources(compiled), &pack, &error)) << error;
  PackView view;
  ASSERT_TRUE(OpenResourcePack(pack.data(), pack.size(), &view, &error)) << error;
  EXPECT_EQ(view.count, 221u);
  for (const book::CompiledItem& item : compiled.items) {
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(FindPackResource(view, 10, item.resourceId, &bytes, &size)) << item.resourceId;
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + size), item.container);
  }
}

// 3-byte windows that never repeat: a de Bruijn sequence of order 3.
std::vector<int> NoRepeatedTriples(int symbols) {
  std::vector<int> out, a(4 * symbols, 0);
  auto db = [&](auto&& self, int t, int p) -> void {
    if (t > 3) {
      if (3 % p == 0) out.insert(out.end(), a.begin() + 1, a.begin() + p + 1);
      return;
    }
    a[t] = a[t - p];
    self(self, t + 1, p);
    for (int j = a[t - p] + 1; j < symbols; ++j) {
      a[t] = j;
      self(self, t + 1, t);
    }
  };
  db(db, 1, 1);
  return out;
}

TEST(bookResources, StreamTooLargeForItsContainerIsAnError) {
  // 65,535 bytes with nothing to share, in 200 records whose flags and
  // parameter bytes each need a literal run: the stream outgrows the data.
  const std::string punctuation = "!#$%&*+,-./:;?";
  std::vector<int> symbols = NoRepeatedTriples(27 + static_cast<int>(punctuation.size()));
  std::vector<int> flags;
  for (int f = 0x80; f < 0x100; ++f) {
    if ((f & 0x10) == 0 && (f & 7) != 7) flags.push_back(f);
  }
  std::string main;
  size_t next = 0;
  for (int r = 0; r < 200; ++r) {
    char header[40];
    std::snprintf(header, sizeof header, "{flags=0x%02X param=0x%02X} ", flags[r % flags.size()],
                  0x80 + r / static_cast<int>(flags.size()));
    main += header;
    size_t length = r < 132 ? 325 : 324;
    for (size_t i = 0; i < length; ++i, ++next) {
      int s = symbols[next];
      if (s < 27) {
        book::AppendUtf8(book::kFirstLetter + s, &main);
      } else {
        main += punctuation[s - 27];
      }
    }
    main += '\n';
  }
  book::BookSource source;
  std::vector<book::Diagnostic> diagnostics;
  ASSERT_TRUE(book::ParseBookSource(booktest::WithFillerSides("# ג\n## א\n### main\n" + main + "### commentary\nפ\n"),
                                    &source, &diagnostics));
  ASSERT_EQ(book::StoredArticleSize(source.sides[0].main), 65535u);
  book::CompiledBook compiled;
  EXPECT_FALSE(book::CompileBook(source, &compiled, &diagnostics));
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0].line, 3);
  EXPECT_NE(diagnostics[0].message.find("article 1 compresses to"), std::string::npos) << diagnostics[0].message;
}

}  // namespace
