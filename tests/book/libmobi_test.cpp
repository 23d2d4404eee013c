// Every stream lumora-book writes, decoded by an independent PalmDoc
// decoder (Debian's libmobi), and the real books against a greedy parse.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "book_test_support.h"

// Exported by libmobi's static archive only; not in its public header.
extern "C" int mobi_decompress_lz77(unsigned char* out, const unsigned char* in, size_t* len_out, const size_t len_in);

namespace {

void ExpectLibmobiAgrees(const book::CompiledBook& compiled) {
  for (const book::CompiledItem& item : compiled.items) {
    SCOPED_TRACE(item.resourceId);
    // Room beyond D: a decoder that wrote too much would show it.
    std::vector<unsigned char> out(item.data.size() + 64);
    size_t produced = out.size();
    ASSERT_EQ(mobi_decompress_lz77(out.data(), item.stream.data(), &produced, item.stream.size()), 0);
    ASSERT_EQ(produced, item.data.size());
    out.resize(produced);
    EXPECT_EQ(out, item.data);
  }
}

void ExpectLibmobiAgrees(const std::string& path) {
  SCOPED_TRACE(path);
  ExpectLibmobiAgrees(booktest::CompileText(booktest::ReadFile(path)));
}

TEST(bookLibmobi, DecodesTheSmallFixture) { ExpectLibmobiAgrees(booktest::DataPath("small.book")); }

TEST(bookLibmobi, DecodesTheSharedBooks) {
  std::vector<std::string> books = booktest::SharedBooks();
  if (books.empty()) GTEST_SKIP() << "no books in " << LUMORA_SHARED_BOOKS;
  for (const std::string& path : books) ExpectLibmobiAgrees(path);
}

TEST(bookLibmobi, DecodesTheDefaultBook) {
  std::string path = std::string(LUMORA_SOURCE_DIR) + "/resources/book/sample.book";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " does not exist yet";
  ExpectLibmobiAgrees(path);
}

TEST(bookRealBooks, CompileSmallerThanAGreedyParse) {
  std::vector<std::string> books = booktest::SharedBooks();
  if (books.empty()) GTEST_SKIP() << "no books in " << LUMORA_SHARED_BOOKS;
  for (const std::string& path : books) {
    SCOPED_TRACE(path);
    book::CompiledBook compiled = booktest::CompileText(booktest::ReadFile(path));
    ASSERT_EQ(compiled.items.size(), 221u);
    std::string error;
    EXPECT_TRUE(book::VerifyCompiledBook(compiled, &error)) << error;
    size_t ours = 0, greedy = 0;
    for (const book::CompiledItem& item : compiled.items) {
      size_t plain = booktest::GreedyCompress(item.data).size();
      EXPECT_LE(item.stream.size(), plain) << item.resourceId;
      ours += item.stream.size();
      greedy += plain;
    }
    EXPECT_LT(ours, greedy);
  }
}

}  // namespace
