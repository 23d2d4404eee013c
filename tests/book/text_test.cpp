// Source characters to BookCode, and logical to display order.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "case_name.h"
#include "tools/book/book_text.h"

namespace {

// Parameterised cases print as their row's name.
template <class Row>
  requires requires(const Row& r) { r.name; }
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

using book::CharMapping;

struct CharRow {
  std::string name;
  char32_t codePoint;
  CharMapping::Kind kind;
  uint8_t code;        // when stored
  const char* reason;  // part of the message when refused
};

const CharRow kChars[] = {
    {"alef", 0x05D0, CharMapping::kStored, 'a', ""},
    {"tav", 0x05EA, CharMapping::kStored, 0x7B, ""},
    {"final_kaf", 0x05DA, CharMapping::kStored, 'k', ""},
    {"final_mem", 0x05DD, CharMapping::kStored, 'n', ""},
    {"final_nun", 0x05DF, CharMapping::kStored, 'p', ""},
    {"final_pe", 0x05E3, CharMapping::kStored, 't', ""},
    {"final_tsadi", 0x05E5, CharMapping::kStored, 'v', ""},
    {"space", ' ', CharMapping::kStored, ' ', ""},
    {"open_brace", '{', CharMapping::kStored, '~', ""},
    {"close_brace", '}', CharMapping::kStored, '}', ""},
    {"capital", 'Q', CharMapping::kStored, 'Q', ""},
    {"digit", '7', CharMapping::kStored, '7', ""},
    {"backquote", '`', CharMapping::kStored, '`', ""},
    {"pipe", '|', CharMapping::kStored, '|', ""},
    {"maqaf", 0x05BE, CharMapping::kStored, ' ', ""},
    {"sof_pasuq", 0x05C3, CharMapping::kStored, ':', ""},
    {"geresh", 0x05F3, CharMapping::kStored, '\'', ""},
    {"gershayim", 0x05F4, CharMapping::kStored, '"', ""},
    {"first_cantillation", 0x0591, CharMapping::kDropped, 0, ""},
    {"sheva", 0x05B0, CharMapping::kDropped, 0, ""},
    {"paseq", 0x05C0, CharMapping::kDropped, 0, ""},
    {"qamats_qatan", 0x05C7, CharMapping::kDropped, 0, ""},
    {"below_marks", 0x0590, CharMapping::kRefused, 0, "U+0590"},
    {"after_marks", 0x05C8, CharMapping::kRefused, 0, "U+05C8"},
    {"after_tav", 0x05EB, CharMapping::kRefused, 0, "U+05EB"},
    {"yiddish_ligature", 0x05F0, CharMapping::kRefused, 0, "U+05F0"},
    {"presentation_form", 0xFB2A, CharMapping::kRefused, 0, "U+FB2A"},
    {"lowercase_a", 'a', CharMapping::kRefused, 0, "lowercase Latin letter 'a'"},
    {"lowercase_z", 'z', CharMapping::kRefused, 0, "Hebrew letters"},
    {"tilde", '~', CharMapping::kRefused, 0, "stored text uses it for '{'"},
    {"tab", '\t', CharMapping::kRefused, 0, "tab"},
    {"carriage_return", '\r', CharMapping::kRefused, 0, "LF line endings"},
    {"nul", 0, CharMapping::kRefused, 0, "control character U+0000"},
    {"delete", 0x7F, CharMapping::kRefused, 0, "U+007F"},
    {"e_acute", 0xE9, CharMapping::kRefused, 0, "U+00E9"},
};

class bookTextChars : public ::testing::TestWithParam<CharRow> {};

TEST_P(bookTextChars, MapAsTheFormatSays) {
  const CharRow& row = GetParam();
  CharMapping m = book::MapSourceChar(row.codePoint);
  EXPECT_EQ(m.kind, row.kind);
  if (row.kind == CharMapping::kStored) {
    EXPECT_EQ(m.code, row.code);
  } else if (row.kind == CharMapping::kRefused) {
    EXPECT_NE(m.why.find(row.reason), std::string::npos) << m.why;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, bookTextChars, ::testing::ValuesIn(kChars), ByCaseName());

TEST(bookText, LettersAreConsecutiveCodesAndMapBack) {
  std::string source, expected;
  for (char32_t c = book::kFirstLetter; c <= book::kLastLetter; ++c) {
    CharMapping m = book::MapSourceChar(c);
    ASSERT_EQ(m.kind, CharMapping::kStored);
    expected.push_back(static_cast<char>(0x61 + (c - book::kFirstLetter)));
    EXPECT_EQ(m.code, static_cast<uint8_t>(expected.back()));
    book::AppendUtf8(c, &source);
  }
  EXPECT_EQ(expected.back(), '{');
  EXPECT_EQ(book::BookCodeToUtf8(expected), source);
  EXPECT_EQ(book::BookCodeToUtf8("~}() 12"), "{}() 12");
}

struct Utf8Row {
  std::string name;
  std::string bytes;
  bool valid;
  char32_t codePoint;
  size_t length;
};

const Utf8Row kUtf8[] = {
    {"ascii", "A", true, 'A', 1},
    {"alef", "\xD7\x90", true, 0x05D0, 2},
    {"three_bytes", "\xE2\x82\xAC", true, 0x20AC, 3},
    {"four_bytes", "\xF0\x9F\x98\x80", true, 0x1F600, 4},
    {"lone_continuation", "\x90", false, 0, 1},
    {"overlong_two", "\xC0\xAF", false, 0, 1},
    {"overlong_three", "\xE0\x80\xAF", false, 0, 1},
    {"surrogate", "\xED\xA0\x80", false, 0, 1},
    {"above_unicode", "\xF4\x90\x80\x80", false, 0, 1},
    {"truncated", "\xD7", false, 0, 1},
    {"bad_continuation", "\xD7\x41", false, 0, 1},
    {"ff", "\xFF", false, 0, 1},
};

class bookTextUtf8 : public ::testing::TestWithParam<Utf8Row> {};

TEST_P(bookTextUtf8, DecodesOrRefusesOneByte) {
  const Utf8Row& row = GetParam();
  book::Utf8Char c = book::DecodeUtf8(row.bytes);
  EXPECT_EQ(c.valid, row.valid);
  EXPECT_EQ(c.length, row.length);
  if (row.valid) {
    EXPECT_EQ(c.codePoint, row.codePoint);
    std::string again;
    book::AppendUtf8(c.codePoint, &again);
    EXPECT_EQ(again, row.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, bookTextUtf8, ::testing::ValuesIn(kUtf8), ByCaseName());

struct OrderRow {
  std::string name;
  std::string logical;  // BookCode
  std::string display;
};

const OrderRow kOrders[] = {
    {"empty", "", ""},
    {"letters", "abc", "cba"},
    {"parentheses_turn", "a(b)", "(b)a"},
    {"brackets_turn", "a[b]c", "c[b]a"},
    {"braces_turn_in_bookcode", "~ab}", "~ba}"},
    {"tav_is_a_letter", "a{", "{a"},
    {"number_reads_left_to_right", "a 123 b", "b 123 a"},
    {"numbers_each_keep_order", "a12b345", "345b12a"},
    {"number_in_parentheses", "(12)", "(12)"},
    {"separated_digits", "1.25:3", "3:25.1"},
    {"only_digits", "2024", "2024"},
    {"other_ascii_unchanged", "a<b>c-", "-c>b<a"},
};

class bookTextOrder : public ::testing::TestWithParam<OrderRow> {};

TEST_P(bookTextOrder, ReversesMirrorsAndKeepsNumbers) {
  const OrderRow& row = GetParam();
  EXPECT_EQ(book::DisplayOrder(row.logical), row.display);
  EXPECT_EQ(book::DisplayOrder(row.display), row.logical);
}

INSTANTIATE_TEST_SUITE_P(Table, bookTextOrder, ::testing::ValuesIn(kOrders), ByCaseName());

TEST(bookText, DisplayOrderIsItsOwnInverse) {
  const std::string alphabet = "ab{~}()[]0123 .:";
  std::mt19937 random(7);
  for (int i = 0; i < 500; ++i) {
    std::string s(random() % 24, ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    SCOPED_TRACE(s);
    std::string shown = book::DisplayOrder(s);
    ASSERT_EQ(shown.size(), s.size());
    EXPECT_EQ(book::DisplayOrder(shown), s);
  }
}

}  // namespace
