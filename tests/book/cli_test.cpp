// lumora-book's command line: usage errors, the error report, what it
// writes and what it leaves alone, and the dump that gives the source back.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "book_test_support.h"
#include "case_name.h"
#include "tools/book/book_dump.h"
#include "tools/book/cli.h"

namespace {

// Parameterised cases print as their row's name.
template <class Row>
  requires requires(const Row& r) { r.name; }
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

namespace fs = std::filesystem;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Compiler(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = RunBookCompiler(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumora-book-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

const std::string kSmall = booktest::DataPath("small.book");

struct UsageRow {
  std::string name;
  std::vector<std::string> args;
  std::string fragment;
};

const UsageRow kUsage[] = {
    {"no_arguments", {}, "no book source given"},
    {"unknown_option", {"--fast", kSmall}, "unknown option --fast"},
    {"option_without_value", {kSmall, "--pack"}, "--pack needs a value"},
    {"empty_value", {"--source=", kSmall}, "--source needs a value"},
    {"flag_with_value", {"--stats=yes", kSmall}, "--stats takes no value"},
    {"two_books", {kSmall, kSmall}, "more than one book"},
    {"dump_zero", {"--dump", "0", kSmall}, "--dump takes an article number"},
    {"dump_past_the_last_article", {"--dump", "221", kSmall}, "--dump takes"},
    {"dump_below_the_index", {"--dump=32766", kSmall}, "--dump takes"},
    {"dump_not_a_number", {"--dump", "1x", kSmall}, "--dump takes"},
    {"check_with_output", {"--check", "--pack", "out.pack", kSmall}, "--check writes nothing"},
};

class bookCliUsage : public ::testing::TestWithParam<UsageRow> {};

TEST_P(bookCliUsage, IsExitStatusTwoWithAMessage) {
  CliRun run = Compiler(GetParam().args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(GetParam().fragment), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Table, bookCliUsage, ::testing::ValuesIn(kUsage), ByCaseName());

TEST(bookCli, HelpListsEveryOption) {
  CliRun run = Compiler({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* option : {"--pack FILE", "--source FILE", "--stats", "--check", "--dump N", "--help"}) {
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
  }
}

TEST(bookCli, UnreadableBookIsStatusOne) {
  for (const char* name : {"no-such.book", ""}) {
    SCOPED_TRACE(name);
    CliRun run = Compiler({"--check", booktest::DataPath(name)});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(*name ? "cannot open" : "cannot read"), std::string::npos) << run.err;
  }
}

TEST(bookCli, ReportsErrorsAsFileLineColumn) {
  std::string book = booktest::DataPath("errors.book");
  std::string expected;
  for (const std::string& line : Lines(booktest::ReadFile(booktest::DataPath("errors.expected")))) {
    expected += book + line.substr(4) + "\n";
  }
  CliRun run = Compiler({"--check", book});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, expected);
  EXPECT_EQ(run.out, "");
}

TEST(bookCli, WritesThePackAndASourceHoldingTheSameBytes) {
  TempDir dir;
  CliRun run = Compiler({kSmall, "--pack", dir.File("book.pack"), "--source=" + dir.File("pack.cpp")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"book.pack", "pack.cpp"}));

  std::vector<uint8_t> expected;
  std::string error;
  ASSERT_TRUE(BuildResourcePack(book::BookResources(booktest::CompileText(booktest::ReadFile(kSmall))), &expected, &error));
  EXPECT_EQ(booktest::ReadFile(dir.File("book.pack")), booktest::AsString(expected));

  std::string source = booktest::ReadFile(dir.File("pack.cpp"));
  EXPECT_NE(source.find("extern \"C\" const uint8_t* EmbeddedResourcePack(size_t* size)"), std::string::npos);
  EXPECT_NE(source.find("alignas("), std::string::npos);
  std::vector<uint8_t> embedded;
  for (size_t at = source.find("0x"); at != std::string::npos; at = source.find("0x", at + 4)) {
    embedded.push_back(static_cast<uint8_t>(std::stoul(source.substr(at + 2, 2), nullptr, 16)));
  }
  EXPECT_EQ(embedded, expected);
}

TEST(bookCli, FailedRunLeavesOutputsAsTheyWere) {
  TempDir dir;
  WriteText(dir.File("book.pack"), "old pack");
  WriteText(dir.File("pack.cpp"), "old source");
  CliRun broken = Compiler({booktest::DataPath("errors.book"), "--pack", dir.File("book.pack"), "--source",
                         dir.File("pack.cpp")});
  EXPECT_EQ(broken.status, 1);
  // The source cannot be written: the pack, though writable, is not replaced either.
  CliRun unwritable = Compiler({kSmall, "--pack", dir.File("book.pack"), "--source", dir.File("missing/pack.cpp")});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("missing/pack.cpp"), std::string::npos) << unwritable.err;
  EXPECT_EQ(booktest::ReadFile(dir.File("book.pack")), "old pack");
  EXPECT_EQ(booktest::ReadFile(dir.File("pack.cpp")), "old source");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"book.pack", "pack.cpp"}));
}

TEST(bookCli, DumpGivesRecordsInLogicalOrder) {
  CliRun main = Compiler({"--check", "--dump", "1", kSmall});
  ASSERT_EQ(main.status, 0) << main.err;
  EXPECT_EQ(main.out,
            "{flags=0xDC param=0x00} כותרת ראשונה\n"
            "{flags=0xD1 param=0x00} כותרת שנייה\n"
            "{flags=0xB1 param=0x00} שורה ראשונה של הפסקה ושורה שנייה (12) [3]\n"
            "{flags=0x21 param=0x05} ABC-123 [Q] {X}\n"
            "{flags=0x87 param=0xA0}\n"
            "{flags=0x87 param=0x32}\n"
            "{flags=0x07 param=0xD2}\n"
            "{flags=0xB1 param=0x00} פסקה אחרונה {בסוגריים}\n");
  CliRun commentary = Compiler({"--check", "--dump", "2", kSmall});
  EXPECT_EQ(Lines(commentary.out).at(2), "{flags=0xB2 param=0x00} בראשית עם מקף וסוף פסוק: וגרש' וגרשיים\"");
  EXPECT_EQ(Lines(commentary.out).at(4), "{flags=0xB2 param=0x00} פירוש שני, 1999 עד 2024.");
  CliRun index = Compiler({"--check", "--dump", "32767", kSmall});
  std::vector<std::string> entries = Lines(index.out);
  ASSERT_EQ(entries.size(), 113u);
  EXPECT_EQ(entries[0], "id=0xBFFE flags=0x8C level=1 חלק 1");
  EXPECT_EQ(entries[1], "id=0x4001 flags=0x01 level=2 דף 1");
  EXPECT_EQ(entries[112], "id=0x40DB flags=0x01 level=2 דף 110");
}

// A book source made from the dumps alone: the index gives the groups and
// labels, each article its records as explicit lines.
std::string SourceFromDumps(const book::CompiledBook& compiled) {
  std::string index, text;
  EXPECT_TRUE(book::DumpItem(*book::FindItem(compiled, book::kIndexResource), &index));
  int side = 0;
  for (const std::string& entry : Lines(index)) {
    size_t level = entry.find("level=");
    std::string label = entry.substr(entry.find(' ', level) + 1);
    if (entry[level + 6] == '1') {
      text += "# " + label + "\n";
      continue;
    }
    ++side;
    text += "## " + label + "\n";
    for (int n : {2 * side - 1, 2 * side}) {
      text += n % 2 ? "### main\n" : "### commentary\n";
      EXPECT_TRUE(book::DumpItem(*book::FindItem(compiled, n), &text));
    }
  }
  return text;
}

TEST(bookCli, DumpsCompileBackToTheSameBook) {
  std::vector<std::string> books = booktest::SharedBooks();
  books.insert(books.begin(), kSmall);
  for (const std::string& path : books) {
    SCOPED_TRACE(path);
    book::CompiledBook original = booktest::CompileText(booktest::ReadFile(path));
    book::CompiledBook again = booktest::CompileText(SourceFromDumps(original));
    ASSERT_EQ(again.items.size(), original.items.size());
    for (size_t i = 0; i < original.items.size(); ++i) {
      EXPECT_EQ(again.items[i].container, original.items[i].container) << original.items[i].resourceId;
    }
  }
}

TEST(bookCli, StatsHaveARowPerItemAndTheTotals) {
  CliRun run = Compiler({"--check", "--stats", kSmall});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 1u + 221u + 3u);
  book::CompiledBook compiled = booktest::CompileText(booktest::ReadFile(kSmall));
  size_t expanded = 0, compressed = 0;
  for (size_t i = 0; i < compiled.items.size(); ++i) {
    const book::CompiledItem& item = compiled.items[i];
    std::istringstream row(lines[1 + i]);
    std::string name;
    size_t records, d, c;
    row >> name >> records >> d >> c;
    EXPECT_EQ(name, i == 220 ? "index" : std::to_string(i + 1));
    EXPECT_EQ(records, item.records);
    EXPECT_EQ(d, item.data.size());
    EXPECT_EQ(c, item.stream.size());
    expanded += d;
    compressed += c;
  }
  std::istringstream total(lines[222]);
  std::string name;
  size_t records, d, c;
  total >> name >> records >> d >> c;
  EXPECT_EQ(name, "total");
  EXPECT_EQ(d, expanded);
  EXPECT_EQ(c, compressed);
  EXPECT_EQ(lines[223].rfind("largest: article ", 0), 0u) << lines[223];
  EXPECT_EQ(lines[224].rfind("pack: ", 0), 0u) << lines[224];
}

}  // namespace
