// The book source parser: every rule it enforces, where it reports a
// broken one, and the records it reads from good input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book_test_support.h"
#include "case_name.h"
#include "tools/book/book_source.h"

namespace {

// Parameterised cases print as their row's name.
template <class Row>
  requires requires(const Row& r) { r.name; }
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

using book::Diagnostic;
using booktest::WithFillerSides;

struct Expected {
  int line;
  int column;
  std::string fragment;
};

std::string Describe(const std::vector<Diagnostic>& diagnostics) {
  std::string s;
  for (const Diagnostic& d : diagnostics) s += "\n  " + book::FormatDiagnostic("book", d);
  return s;
}

void ExpectDiagnostics(const std::string& text, const std::vector<Expected>& expected) {
  book::BookSource source;
  std::vector<Diagnostic> diagnostics;
  bool ok = book::ParseBookSource(text, &source, &diagnostics);
  EXPECT_EQ(ok, expected.empty());
  ASSERT_EQ(diagnostics.size(), expected.size()) << Describe(diagnostics);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(diagnostics[i].line, expected[i].line) << Describe(diagnostics);
    EXPECT_EQ(diagnostics[i].column, expected[i].column) << Describe(diagnostics);
    EXPECT_NE(diagnostics[i].message.find(expected[i].fragment), std::string::npos) << Describe(diagnostics);
  }
}

// Lines 1 to 3; the article body starts on line 4.
const std::string kMain = "# ג\n## א\n### main\n";
const std::string kCommentary = "### commentary\nפ\n";
// Lines 1 to 5; a commentary body starts on line 6.
const std::string kToCommentary = "# ג\n## א\n### main\nט\n### commentary\n";

struct ErrorRow {
  std::string name;
  std::string head;  // the rest of the 110 sides is added after it
  std::vector<Expected> errors;
};

const ErrorRow kErrors[] = {
    // Structure.
    {"side_before_group", "## א\n### main\nט\n" + kCommentary, {{1, 1, "after a group line"}}},
    {"empty_group_label", "#   \n## א\n### main\nט\n" + kCommentary, {{1, 1, "empty group label"}}},
    {"group_label_needs_space", "#ג\n## א\n### main\nט\n" + kCommentary, {{1, 2, "'#' must be followed by a space"}}},
    {"empty_side_label", "# ג\n##\n### main\nט\n" + kCommentary, {{2, 1, "empty side label"}}},
    {"unknown_structure_line", "# ג\n#### ד\n## א\n### main\nט\n" + kCommentary, {{2, 1, "unknown structure line"}}},
    {"misspelt_article_line", "# ג\n## א\n### mian\n### main\nט\n" + kCommentary, {{3, 1, "expected '### main'"}}},
    {"article_outside_side", "# ג\n### main\nט\n## א\n### main\nט\n" + kCommentary, {{2, 1, "outside a side"}}},
    {"text_outside_article", "# ג\n## א\nט\n### main\nט\n" + kCommentary, {{3, 1, "text outside an article"}}},
    {"second_main", kMain + "ט\n### main\nט\n" + kCommentary, {{5, 1, "already has its main article (line 3)"}}},
    {"second_commentary", kToCommentary + "פ\n" + kCommentary, {{7, 1, "already has its commentary article (line 5)"}}},
    {"commentary_before_main", "# ג\n## א\n### commentary\nפ\n### main\nט\n",
     {{3, 1, "must follow the side's '### main'"}, {5, 1, "'### main' must come before"}}},
    {"side_without_commentary", kMain + "ט\n", {{2, 1, "no '### commentary'"}}},
    {"side_without_main", "# ג\n## א\n## ב\n### main\nט\n" + kCommentary,
     {{2, 1, "no '### main'"}, {2, 1, "no '### commentary'"}}},
    {"group_line_ends_the_side", kMain + "ט\n# ד\n" + kCommentary,
     {{2, 1, "no '### commentary'"}, {6, 1, "outside a side"}}},
    // Record order.
    {"title_after_paragraph", kMain + "ט\n\n! כ\n" + kCommentary, {{6, 1, "only as the first record"}}},
    {"second_title_first", kMain + "!! כ\nט\n" + kCommentary, {{4, 1, "right after the first title"}}},
    {"second_title_after_paragraph", kMain + "! כ\nט\n!! ל\n" + kCommentary, {{6, 1, "right after the first title"}}},
    {"lemma_in_main_article", kMain + "> ל\nט\n" + kCommentary, {{4, 1, "only in a commentary article"}}},
    {"lemma_ends_article", kToCommentary + "> ל\n", {{6, 1, "must be followed by a paragraph"}}},
    {"lemma_then_lemma", kToCommentary + "> ל\n> מ\nפ\n", {{6, 1, "must be followed by a paragraph"}}},
    {"lemma_then_rule", kToCommentary + "> ל\n---\nפ\n", {{6, 1, "must be followed by a paragraph"}}},
    {"lemma_then_title", kToCommentary + "! כ\n> ל\n!! מ\nפ\n",
     {{7, 1, "must be followed by a paragraph"}, {8, 1, "right after the first title"}}},
    {"empty_title", kMain + "!\nט\n" + kCommentary, {{4, 1, "a title ('!') needs a text"}}},
    {"empty_lemma", kToCommentary + ">  \nפ\n", {{6, 1, "a lemma ('>') needs a text"}}},
    {"empty_article", "# ג\n## א\n### main\n" + kCommentary, {{3, 1, "empty article: it has no records"}}},
    {"first_paragraph_only_points", kMain + "\u05B0\u05B4\n\nט\n" + kCommentary, {{4, 1, "first record has no text"}}},
    {"first_explicit_record_empty", kMain + "{flags=0x11 param=0x00}\n\nט\n" + kCommentary,
     {{4, 1, "first record has no text"}}},
    // Rules and explicit records.
    {"rule_width_above_255", kMain + "ט\n--- 256\n" + kCommentary, {{5, 5, "from 0 to 255"}}},
    {"rule_width_negative", kMain + "ט\n---   -1\n" + kCommentary, {{5, 7, "from 0 to 255"}}},
    {"rule_width_not_a_number", kMain + "ט\n--- 1O\n" + kCommentary, {{5, 5, "from 0 to 255"}}},
    {"explicit_zero_flags", kMain + "ט\n{flags=0x00 param=0x00} ט\n" + kCommentary, {{5, 8, "must not be zero"}}},
    {"explicit_rule_with_text", kMain + "ט\n{flags=0x87 param=0x10} ט\n" + kCommentary, {{5, 25, "carries no text"}}},
    {"explicit_bad_hex", kMain + "ט\n{flags=0xZZ param=0x00} ט\n" + kCommentary, {{5, 8, "malformed record header"}}},
    {"explicit_three_digits", kMain + "ט\n{flags=0x111 param=0x00} ט\n" + kCommentary, {{5, 8, "malformed"}}},
    {"explicit_no_param", kMain + "ט\n{flags=0x11} ט\n" + kCommentary, {{5, 12, "malformed"}}},
    {"explicit_text_needs_space", kMain + "ט\n{flags=0x11 param=0x00}ט\n" + kCommentary, {{5, 24, "malformed"}}},
    // Characters; columns count characters, not bytes.
    {"lowercase_letter", kMain + "טbט\n" + kCommentary, {{4, 2, "lowercase Latin letter 'b'"}}},
    {"column_counts_characters", kMain + "אבג דה x\n" + kCommentary, {{4, 8, "'x'"}}},
    {"tilde", kMain + "ט ~\n" + kCommentary, {{4, 3, "'~' is not allowed"}}},
    {"tab", kMain + "ט\tט\n" + kCommentary, {{4, 2, "tab"}}},
    {"carriage_return_inside_line", kMain + "ט\rט\n" + kCommentary, {{4, 2, "carriage return"}}},
    {"invalid_utf8_once_per_line", kMain + "ט\xFFט\xFE\n" + kCommentary, {{4, 2, "invalid UTF-8 (byte 0xFF)"}}},
    {"overlong_utf8", kMain + "ט\xC0\xAF\n" + kCommentary, {{4, 2, "invalid UTF-8 (byte 0xC0)"}}},
    {"control_character", kMain + "ט\x01\n" + kCommentary, {{4, 2, "U+0001"}}},
    {"other_script", kMain + "טט€\n" + kCommentary, {{4, 3, "U+20AC"}}},
    {"error_in_side_label", "# ג\n## אb\n### main\nט\n" + kCommentary, {{2, 5, "'b'"}}},
    {"error_in_title", kMain + "! אq\nט\n" + kCommentary, {{4, 4, "'q'"}}},
    {"error_in_continuation_line", kMain + "ט\n  אy\n" + kCommentary, {{5, 4, "'y'"}}},
    {"error_in_explicit_text", kMain + "{flags=0x11 param=0x00} אc\n" + kCommentary, {{4, 26, "'c'"}}},
    {"invalid_utf8_in_comment", "% \xFF\n" + kMain + "ט\n" + kCommentary, {{1, 3, "invalid UTF-8 in a comment"}}},
};

class bookSourceErrors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(bookSourceErrors, AreReportedWhereTheRuleBreaks) {
  ExpectDiagnostics(WithFillerSides(GetParam().head), GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(Table, bookSourceErrors, ::testing::ValuesIn(kErrors), ByCaseName());

struct Record {
  uint8_t flags;
  uint8_t parameter;
  std::string text;  // BookCode, logical order
};

struct RecordRow {
  std::string name;
  std::string main;
  std::string commentary;
  std::vector<Record> mainRecords;
  std::vector<Record> commentaryRecords;
};

// Letters: א a, ב b, ג c, ד d, ה e, ו f, פ u.
const RecordRow kRecords[] = {
    {"titles_and_paragraph", "! אב\n!! ג\n\nד\nה\n", "פ\n",
     {{0xDC, 0, "ab"}, {0xD1, 0, "c"}, {0xB1, 0, "d e"}},
     {{0xB2, 0, "u"}}},
    {"lines_join_with_one_space", "א  \n   ב\nג\n", "פ\n", {{0xB1, 0, "a b c"}}, {{0xB2, 0, "u"}}},
    {"blank_and_space_only_lines_split", "א\n\nב\n   \nג\n", "פ\n",
     {{0xB1, 0, "a"}, {0xB1, 0, "b"}, {0xB1, 0, "c"}},
     {{0xB2, 0, "u"}}},
    {"comment_does_not_split", "א\n% any text at all\nב\n", "פ\n", {{0xB1, 0, "a b"}}, {{0xB2, 0, "u"}}},
    {"rules", "א\n---\n--- 0\n---  255  \n", "פ\n",
     {{0xB1, 0, "a"}, {0x87, 160, ""}, {0x87, 0, ""}, {0x87, 255, ""}},
     {{0xB2, 0, "u"}}},
    {"explicit_records", "{flags=0x21 param=0x05}  A(1\nB\n{flags=0x07 param=0xD2}\n{flags=0x0f param=0X3}\n", "פ\n",
     {{0x21, 5, " A(1 B"}, {0x07, 0xD2, ""}, {0x0F, 3, ""}},
     {{0xB2, 0, "u"}}},
    {"commentary_records", "א\n", "! א\n> ב\nג\nד\n\n> ה\n{flags=0x22 param=0x00} ו\n",
     {{0xB1, 0, "a"}},
     {{0xDC, 0, "a"}, {0x51, 0, "b"}, {0xB2, 0, "c d"}, {0x51, 0, "e"}, {0x22, 0, "f"}}},
    {"marks_and_their_substitutes", "בְּ־ג׃ד׳ה״{ו}\n", "פ\n", {{0xB1, 0, "b c:d'e\"~f}"}}, {{0xB2, 0, "u"}}},
    {"marker_without_space_is_text", "!א\n\n---5\n\n>ב\n\n{א}\n", "פ\n",
     {{0xB1, 0, "!a"}, {0xB1, 0, "---5"}, {0xB1, 0, ">b"}, {0xB1, 0, "~a}"}},
     {{0xB2, 0, "u"}}},
};

class bookSourceRecords : public ::testing::TestWithParam<RecordRow> {};

TEST_P(bookSourceRecords, AreReadAsWritten) {
  const RecordRow& row = GetParam();
  std::string text = WithFillerSides("# ג\n## א\n### main\n" + row.main + "### commentary\n" + row.commentary);
  book::BookSource source;
  std::vector<Diagnostic> diagnostics;
  ASSERT_TRUE(book::ParseBookSource(text, &source, &diagnostics)) << Describe(diagnostics);
  auto check = [](const book::SourceArticle& article, const std::vector<Record>& expected) {
    ASSERT_EQ(article.records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(article.records[i].flags, expected[i].flags);
      EXPECT_EQ(article.records[i].parameter, expected[i].parameter);
      EXPECT_EQ(article.records[i].text, expected[i].text);
    }
  };
  check(source.sides[0].main, row.mainRecords);
  check(source.sides[0].commentary, row.commentaryRecords);
}

INSTANTIATE_TEST_SUITE_P(Table, bookSourceRecords, ::testing::ValuesIn(kRecords), ByCaseName());

// A book of 110 sides whose labels and first main text are given.
std::string BookWith(const std::vector<std::string>& labels, const std::string& firstMain) {
  std::string text = "# ג\n";
  for (size_t k = 0; k < labels.size(); ++k) {
    text += "## " + labels[k] + "\n### main\n" + (k == 0 ? firstMain : "ט") + "\n### commentary\nפ\n";
  }
  return text;
}

std::string Letters(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += "א";
  return s;
}

struct LimitRow {
  std::string name;
  std::string text;
  std::vector<Expected> errors;
};

std::vector<LimitRow> LimitRows() {
  std::vector<LimitRow> rows;
  auto sides = [](size_t n) { return std::vector<std::string>(n, "ד"); };
  std::vector<std::string> labels110 = sides(110);
  rows.push_back({"exactly_110_sides", BookWith(labels110, "ט"), {}});
  rows.push_back({"109_sides", BookWith(sides(109), "ט"), {{546, 1, "has 109 sides: it must have exactly 110"}}});
  rows.push_back({"111_sides", BookWith(sides(111), "ט"), {{552, 1, "more than 110 sides"}}});
  rows.push_back({"empty_file", "", {{1, 1, "has 0 sides"}}});
  // Stored article: its records (3 bytes each besides the text) and 3 end bytes.
  rows.push_back({"paragraph_of_65000", BookWith(labels110, Letters(65000)), {}});
  rows.push_back({"paragraph_of_65001", BookWith(labels110, Letters(65001)), {{4, 1, "paragraph of 65001 bytes"}}});
  rows.push_back({"joined_lines_reach_65000", BookWith(labels110, Letters(32500) + "\n" + Letters(32499)), {}});
  rows.push_back({"joined_lines_pass_65000", BookWith(labels110, Letters(32500) + "\n" + Letters(32500)),
                  {{4, 1, "paragraph of 65001 bytes"}}});
  rows.push_back({"article_of_65535", BookWith(labels110, Letters(65000) + "\n\n" + Letters(526)), {}});
  rows.push_back({"article_of_65536", BookWith(labels110, Letters(65000) + "\n\n" + Letters(527)),
                  {{3, 1, "article of 65536 bytes when stored"}}});
  // Index: 5 end bytes, 5 bytes besides the text per entry, one group "ג".
  std::vector<std::string> labels(110, Letters(590));
  labels.back() = Letters(65535 - 5 - 6 - 110 * 5 - 109 * 590);
  rows.push_back({"index_of_65535", BookWith(labels, "ט"), {}});
  labels.back() += "א";
  rows.push_back({"index_of_65536", BookWith(labels, "ט"), {{1, 1, "index stream is 65536 bytes"}}});
  return rows;
}

class bookSourceLimits : public ::testing::TestWithParam<LimitRow> {};

TEST_P(bookSourceLimits, HoldUpToTheirEdge) { ExpectDiagnostics(GetParam().text, GetParam().errors); }

INSTANTIATE_TEST_SUITE_P(Table, bookSourceLimits, ::testing::ValuesIn(LimitRows()), ByCaseName());

TEST(bookSource, CrlfFileIsOneErrorNotOnePerLine) {
  std::string text = WithFillerSides("");
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  // "# קבוצה" is 7 characters; the CR is the 8th.
  ExpectDiagnostics(crlf, {{1, 8, "LF line endings"}});
}

TEST(bookSource, StopsAfterTheFirstFewDozenErrors) {
  std::string head = kMain;
  for (int i = 0; i < 200; ++i) head += "x\n";
  book::BookSource source;
  std::vector<Diagnostic> diagnostics;
  EXPECT_FALSE(book::ParseBookSource(WithFillerSides(head), &source, &diagnostics));
  ASSERT_EQ(diagnostics.size(), book::kMaxDiagnostics + 1);
  EXPECT_EQ(diagnostics.front().line, 4);
  EXPECT_NE(diagnostics.back().message.find("too many errors"), std::string::npos);
}

TEST(bookSource, DiagnosticFormat) {
  EXPECT_EQ(book::FormatDiagnostic("a/b.book", {12, 3, "what is wrong"}), "a/b.book:12:3: what is wrong");
}

TEST(bookSource, SmallFixtureReadsAsWritten) {
  book::BookSource source;
  std::vector<Diagnostic> diagnostics;
  ASSERT_TRUE(book::ParseBookSource(booktest::ReadFile(booktest::DataPath("small.book")), &source, &diagnostics))
      << Describe(diagnostics);
  ASSERT_EQ(source.groups.size(), 3u);
  EXPECT_EQ(source.groups[1].label, "hmx 2");
  ASSERT_EQ(source.sides.size(), 110u);
  for (size_t k = 0; k < source.sides.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(source.sides[k].group, k < 40 ? 0 : k < 80 ? 1 : 2);
    EXPECT_EQ(source.sides[k].label, "dt " + std::to_string(k + 1));
  }
  EXPECT_EQ(source.droppedMarks, 6u);
  const book::SourceArticle& main = source.sides[0].main;
  ASSERT_EQ(main.records.size(), 8u);
  EXPECT_EQ(main.records[7].text, "urxe ahyfqe ~brfcyjjn}");
}

}  // namespace
