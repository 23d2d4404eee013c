// The PalmDoc LZ77 encoder: every stream expands back through the reader's
// decoder, is never larger than a greedy parse, and is the true optimum.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "book_test_support.h"
#include "case_name.h"
#include "content/decompress.h"
#include "platform/memory.h"
#include "tools/book/compress.h"

namespace {

// Parameterised cases print as their row's name.
template <class Row>
  requires requires(const Row& r) { r.name; }
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

using namespace std::string_literals;
using booktest::Token;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> Compress(const std::vector<uint8_t>& d) { return CompressPalmDoc(d.data(), d.size()); }

std::vector<uint8_t> Expand(const std::vector<uint8_t>& stream, size_t expanded) {
  int error = 0;
  BYTE* block = UnCompress(stream.data(), static_cast<unsigned>(stream.size()), static_cast<unsigned>(expanded), &error);
  if (block == nullptr) return {};
  std::vector<uint8_t> out(block, block + expanded);
  LocalFree(block);
  return out;
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed, const std::string& alphabet = "") {
  std::mt19937 random(seed);
  std::vector<uint8_t> out(n);
  for (uint8_t& b : out) {
    b = alphabet.empty() ? static_cast<uint8_t>(random()) : static_cast<uint8_t>(alphabet[random() % alphabet.size()]);
  }
  return out;
}

// A block, then filler with no 3-byte repeat of it, then the block again
// `distance` bytes after its first copy.
std::vector<uint8_t> FarRepeat(size_t distance) {
  std::vector<uint8_t> block = Bytes("#REPEATED#");
  std::vector<uint8_t> out = block;
  for (size_t i = block.size(); i < distance; ++i) out.push_back(static_cast<uint8_t>('0' + i % 10));
  out.insert(out.end(), block.begin(), block.end());
  return out;
}

struct StreamRow {
  std::string name;
  std::vector<uint8_t> data;
};

std::vector<StreamRow> StreamRows() {
  std::vector<StreamRow> rows;
  for (int b : {0x00, 0x01, 0x08, 0x09, 0x20, 0x7F, 0x80, 0xBF, 0xC0, 0xFF}) {
    rows.push_back({"single_" + std::to_string(b), {static_cast<uint8_t>(b)}});
  }
  std::vector<uint8_t> all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b));
  rows.push_back({"all_byte_values", all});
  std::vector<uint8_t> twice = all;
  twice.insert(twice.end(), all.begin(), all.end());
  rows.push_back({"all_byte_values_twice", twice});
  rows.push_back({"run_of_one_letter", std::vector<uint8_t>(1000, 'a')});
  rows.push_back({"run_of_0x01", std::vector<uint8_t>(100, 0x01)});
  rows.push_back({"run_of_zero", std::vector<uint8_t>(37, 0x00)});
  std::vector<uint8_t> high;
  for (int r = 0; r < 3; ++r)
    for (int b = 0x80; b < 0x100; ++b) high.push_back(static_cast<uint8_t>(b));
  rows.push_back({"high_bytes_repeated", high});
  rows.push_back({"two_runs", Bytes(std::string(49, 'y') + std::string(50, 'x'))});
  std::string periodTwo;
  for (int i = 0; i < 60; ++i) periodTwo += "ab";
  rows.push_back({"overlapping_copy", Bytes(periodTwo)});
  rows.push_back({"space_pairs_and_edges", Bytes(" a b c ? @ \x7F \x80  ~ ")});
  rows.push_back({"space_at_end", Bytes("abc ")});
  rows.push_back({"repeat_at_2047", FarRepeat(2047)});
  rows.push_back({"repeat_at_2048", FarRepeat(2048)});
  rows.push_back({"random_bytes", RandomBytes(5000, 1)});
  rows.push_back({"random_bookcode", RandomBytes(5000, 2, "abcdefghijklmnopqrstuvwxyz{ ().:'\"")});
  std::vector<uint8_t> article = RandomBytes(65535, 3, "abcdefgh {}");
  for (size_t i = 0; i < article.size(); i += 97) article[i] = static_cast<uint8_t>(0xB1);
  rows.push_back({"largest_article", article});
  return rows;
}

class bookCompressStreams : public ::testing::TestWithParam<StreamRow> {};

TEST_P(bookCompressStreams, ExpandBackAndBeatGreedy) {
  const std::vector<uint8_t>& data = GetParam().data;
  std::vector<uint8_t> stream = Compress(data);
  EXPECT_EQ(Expand(stream, data.size()), data);
  EXPECT_LE(stream.size(), booktest::GreedyCompress(data).size());
  EXPECT_EQ(Compress(data), stream) << "the same input must give the same stream";
  for (const Token& t : booktest::ReadTokens(stream)) {
    if (t.kind != Token::kCopy) continue;
    EXPECT_GE(t.distance, 1u);
    EXPECT_LE(t.distance, 2047u);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, bookCompressStreams, ::testing::ValuesIn(StreamRows()), ByCaseName());

struct ExactRow {
  std::string name;
  std::string data;
  std::string stream;
};

const ExactRow kExact[] = {
    {"empty", ""s, ""s},
    {"literal", "A"s, "A"s},
    {"nul_is_a_literal", "\0"s, "\0"s},
    {"space_pair", " a"s, "\xE1"s},
    {"space_then_low_byte", " ?"s, " ?"s},
    {"low_byte_needs_a_run", "\x01"s, "\x01\x01"s},
    {"high_bytes_share_a_run", "\x80\x81"s, "\x02\x80\x81"s},
    {"copy_distance_one", "aaaa"s, "a\x80\x08"s},
    {"copy_overlaps_itself", "abcabcabc"s, "abc\x80\x1B"s},
    {"copy_of_zero_bytes", "\0\0\0\0"s, "\0\x80\x08"s},
    {"distance_high_bits", "0123456789ABCDEFGHIJKLMNOPQRSTUV012"s, "0123456789ABCDEFGHIJKLMNOPQRSTUV\x81\0"s},
    {"longest_copy", "zzzzzzzzzzz"s, "z\x80\x0F"s},
};

class bookCompressExact : public ::testing::TestWithParam<ExactRow> {};

TEST_P(bookCompressExact, GivesTheExpectedTokens) {
  const ExactRow& row = GetParam();
  EXPECT_EQ(booktest::AsString(Compress(Bytes(row.data))), row.stream);
}

INSTANTIATE_TEST_SUITE_P(Table, bookCompressExact, ::testing::ValuesIn(kExact), ByCaseName());

TEST(bookCompress, RepeatAtTheWindowEdgeIsCopiedAndBeyondItIsNot) {
  auto hasFarCopy = [](const std::vector<uint8_t>& data) {
    for (const Token& t : booktest::ReadTokens(Compress(data))) {
      if (t.kind == Token::kCopy && t.distance >= 2040) return true;
    }
    return false;
  };
  EXPECT_TRUE(hasFarCopy(FarRepeat(2047)));
  EXPECT_FALSE(hasFarCopy(FarRepeat(2048)));
}

// The optimum by its definition: every token that may start at each
// position, matches found by trying every distance, best (bytes, tokens).
struct Cost {
  size_t bytes;
  size_t tokens;
  bool operator<(const Cost& o) const { return bytes != o.bytes ? bytes < o.bytes : tokens < o.tokens; }
};

Cost BruteForceOptimum(const std::vector<uint8_t>& d) {
  std::vector<std::optional<Cost>> memo(d.size() + 1);
  std::function<Cost(size_t)> best = [&](size_t i) -> Cost {
    if (i == d.size()) return {0, 0};
    if (memo[i]) return *memo[i];
    Cost result{SIZE_MAX, 0};
    auto consider = [&](size_t advance, size_t bytes) {
      Cost rest = best(i + advance);
      Cost c{rest.bytes + bytes, rest.tokens + 1};
      if (c < result) result = c;
    };
    if (booktest::IsSingleLiteral(d[i])) consider(1, 1);
    if (i + 1 < d.size() && d[i] == ' ' && d[i + 1] >= 0x40 && d[i + 1] <= 0x7F) consider(2, 1);
    for (size_t k = 1; k <= 8 && i + k <= d.size(); ++k) consider(k, 1 + k);
    for (size_t length = 3; length <= 10 && i + length <= d.size(); ++length) {
      for (size_t back = 1; back <= 2047 && back <= i; ++back) {
        if (std::equal(d.begin() + static_cast<std::ptrdiff_t>(i), d.begin() + static_cast<std::ptrdiff_t>(i + length),
                       d.begin() + static_cast<std::ptrdiff_t>(i - back))) {
          consider(length, 2);
          break;
        }
      }
    }
    memo[i] = result;
    return result;
  };
  return best(0);
}

void ExpectOptimal(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> stream = Compress(data);
  Cost optimum = BruteForceOptimum(data);
  ASSERT_EQ(stream.size(), optimum.bytes);
  ASSERT_EQ(booktest::ReadTokens(stream).size(), optimum.tokens);
  ASSERT_EQ(Expand(stream, data.size()), data);
}

TEST(bookCompress, EveryShortInputGetsTheOptimum) {
  const uint8_t alphabet[] = {' ', 'a', 0x02, 0xC5};
  for (size_t length = 1; length <= 7; ++length) {
    size_t count = size_t{1} << (2 * length);
    for (size_t code = 0; code < count; ++code) {
      std::vector<uint8_t> data(length);
      for (size_t i = 0; i < length; ++i) data[i] = alphabet[(code >> (2 * i)) & 3];
      SCOPED_TRACE(::testing::PrintToString(data));
      ExpectOptimal(data);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(bookCompress, RandomInputsGetTheOptimum) {
  const std::string alphabets[] = {"ab", "ab c", "a \x01\x90", "abcdefgh ()", "x"};
  std::mt19937 random(11);
  for (int i = 0; i < 300; ++i) {
    size_t length = 10 + random() % 90;
    uint32_t seed = static_cast<uint32_t>(random());
    std::vector<uint8_t> data = RandomBytes(length, seed, alphabets[i % 5]);
    SCOPED_TRACE(::testing::PrintToString(data));
    ExpectOptimal(data);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
