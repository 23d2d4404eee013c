#include "bookgen/bookgen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The book source read the way the compiler reads it, without the compiler:
// enough to know what the compiled book will hold. Every character of the
// allowed set compiles to one byte, so lengths are counted in characters.
struct Record {
  char kind;  // '!' title, '>' lemma, 'p' paragraph
  std::u32string text;
};

struct Side {
  std::u32string label;
  std::vector<Record> main, commentary;
};

struct Group {
  std::u32string label;
  std::vector<Side> sides;
};

struct Book {
  std::vector<std::string> comments;
  std::vector<Group> groups;
  std::vector<std::string> faults;
};

std::u32string DecodeUtf8(std::string_view s, bool* ok) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const int extra = b < 0x80             ? 0
                      : (b & 0xE0) == 0xC0 ? 1
                      : (b & 0xF0) == 0xE0 ? 2
                      : (b & 0xF8) == 0xF0 ? 3
                                           : -1;
    if (extra < 0 || i + extra >= s.size()) {
      *ok = false;
      return out;
    }
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out += c;
    i += extra + 1;
  }
  return out;
}

Book ReadBook(const std::string& source) {
  Book book;
  std::vector<Record>* article = nullptr;
  std::u32string paragraph;
  int number = 0;
  auto fault = [&](const std::string& what) {
    book.faults.push_back("line " + std::to_string(number) + ": " + what);
  };
  auto flush = [&] {
    if (!paragraph.empty()) article->push_back({'p', paragraph});
    paragraph.clear();
  };
  std::istringstream lines(source);
  for (std::string line; std::getline(lines, line);) {
    ++number;
    bool ok = true;
    const std::u32string text = DecodeUtf8(line, &ok);
    if (!ok) fault("not UTF-8");
    if (line.starts_with("%")) {
      book.comments.push_back(line);
    } else if (line.empty()) {
      if (article) flush();
    } else if (line.starts_with("# ")) {
      if (article) flush();
      article = nullptr;
      book.groups.push_back({text.substr(2), {}});
    } else if (line.starts_with("## ")) {
      if (article) flush();
      article = nullptr;
      if (book.groups.empty())
        fault("side before any group");
      else
        book.groups.back().sides.push_back({text.substr(3), {}, {}});
    } else if (line == "### main" || line == "### commentary") {
      if (article) flush();
      if (book.groups.empty() || book.groups.back().sides.empty()) {
        fault("article outside a side");
        continue;
      }
      Side& side = book.groups.back().sides.back();
      const bool main = line == "### main";
      if (main ? !side.main.empty() || !side.commentary.empty()
               : side.main.empty() || !side.commentary.empty())
        fault("articles out of order");
      article = main ? &side.main : &side.commentary;
    } else if (article == nullptr || line.starts_with("#") || line.starts_with("!!") ||
               line.starts_with("---") || line.starts_with("{")) {
      fault("unexpected line: " + line);
    } else if (line.starts_with("! ") || line.starts_with("> ")) {
      flush();
      article->push_back({line[0], text.substr(2)});
    } else {
      if (!paragraph.empty()) paragraph += U' ';
      paragraph += text;
    }
  }
  if (article) flush();
  return book;
}

bool IsLetter(char32_t c) { return c >= U'\u05D0' && c <= U'\u05EA'; }

bool IsFinalForm(char32_t c) {
  return c == U'\u05DA' || c == U'\u05DD' || c == U'\u05DF' || c == U'\u05E3' || c == U'\u05E5';
}

bool HasFinalForm(char32_t c) { return IsFinalForm(c - 1); }

// Characters outside the set, and final letters in the wrong place. A word
// is a run of letters; punctuation after a word ends it.
std::string TextFault(const std::u32string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    const bool endsWord = i + 1 == text.size() || !IsLetter(text[i + 1]);
    if (!IsLetter(c) && std::u32string_view(U" \".:'()[]?").find(c) == std::u32string_view::npos) {
      char name[16];
      std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
      return std::string("character ") + name + " not allowed";
    }
    if (IsFinalForm(c) && !endsWord) return "final letter inside a word";
    if (HasFinalForm(c) && endsWord) return "non-final letter at the end of a word";
  }
  return {};
}

int StoredSize(const std::vector<Record>& article) {
  int size = 3;
  for (const Record& r : article) size += 3 + static_cast<int>(r.text.size());
  return size;
}

struct Shape {
  std::vector<std::string> faults;
  int minRecords = 1000, maxRecords = 0;
  int longestParagraph = 0, largestArticle = 0;
  int introduced = 0;
  int indexSize = 5;
  std::vector<int> articleSizes;
};

// Measures a book and lists where it differs from the book the reader
// expects. Nothing here depends on the generator's code.
Shape MeasureBook(const std::string& source) {
  const Book book = ReadBook(source);
  Shape shape;
  shape.faults = book.faults;
  auto fault = [&](const std::string& where, const std::string& what) {
    shape.faults.push_back(where + ": " + what);
  };

  static constexpr size_t kGroupSizes[] = {16, 20, 20, 20, 20, 14};
  if (book.groups.size() != std::size(kGroupSizes))
    fault("book", std::to_string(book.groups.size()) + " groups");
  int labels[7] = {};
  auto checkLabel = [&](const std::string& where, const std::u32string& label) {
    if (label.size() < 5 || label.size() > 6)
      fault(where, "label of " + std::to_string(label.size()) + " bytes");
    else
      ++labels[label.size()];
    shape.indexSize += 5 + static_cast<int>(label.size());
    if (const std::string f = TextFault(label); !f.empty()) fault(where, f);
  };

  int article = 0;
  for (size_t g = 0; g < book.groups.size(); ++g) {
    const Group& group = book.groups[g];
    const std::string groupName = "group " + std::to_string(g + 1);
    if (g < std::size(kGroupSizes) && group.sides.size() != kGroupSizes[g])
      fault(groupName, std::to_string(group.sides.size()) + " sides");
    checkLabel(groupName, group.label);
    for (const Side& side : group.sides) {
      checkLabel("article " + std::to_string(article + 1), side.label);
      for (const std::vector<Record>* records : {&side.main, &side.commentary}) {
        const bool commentary = records == &side.commentary;
        const std::string where = "article " + std::to_string(++article);
        const int count = static_cast<int>(records->size());
        shape.minRecords = std::min(shape.minRecords, count);
        shape.maxRecords = std::max(shape.maxRecords, count);
        if (count < 2 || count > 92) fault(where, std::to_string(count) + " records");
        if (records->empty() || records->front().kind != '!') fault(where, "no title first");
        bool lemmaSeen = false;
        for (size_t i = 0; i < records->size(); ++i) {
          const Record& r = (*records)[i];
          if (const std::string f = TextFault(r.text); !f.empty()) fault(where, f);
          if (r.text.empty()) fault(where, "empty record");
          if (i > 0 && r.kind == '!') fault(where, "title after the first record");
          if (r.kind == '>' && !commentary) fault(where, "lemma in a main article");
          if (r.kind == '>' && (i + 1 == records->size() || (*records)[i + 1].kind != 'p'))
            fault(where, "lemma without its paragraph");
          if (r.kind == '>') lemmaSeen = true;
          if (r.kind != 'p') continue;
          if (commentary && !lemmaSeen && i == 1) ++shape.introduced;
          shape.longestParagraph = std::max(shape.longestParagraph, static_cast<int>(r.text.size()));
          if (r.text.back() != U'.' && r.text.back() != U':')
            fault(where, "paragraph not ending in '.' or ':'");
        }
        if (commentary && !lemmaSeen) fault(where, "commentary without a lemma");
        if (!commentary && count < 2) fault(where, "main text without a paragraph");
        shape.articleSizes.push_back(StoredSize(*records));
        shape.largestArticle = std::max(shape.largestArticle, shape.articleSizes.back());
      }
    }
  }
  if (article != 220) fault("book", std::to_string(article) + " articles");
  if (labels[6] != 89 || labels[5] != 27)
    fault("index",
          std::to_string(labels[6]) + " labels of 6 bytes and " + std::to_string(labels[5]) + " of 5");
  if (shape.minRecords != 2 || shape.maxRecords != 92)
    fault("book", "records per article from " + std::to_string(shape.minRecords) + " to " +
                      std::to_string(shape.maxRecords));
  if (shape.introduced < 4 || shape.introduced > 8)
    fault("book", std::to_string(shape.introduced) + " commentaries open with a paragraph");
  if (shape.longestParagraph < 2400 || shape.longestParagraph > 2550)
    fault("book", "longest paragraph " + std::to_string(shape.longestParagraph));
  if (shape.largestArticle < 4900 || shape.largestArticle > 5100)
    fault("book", "largest article " + std::to_string(shape.largestArticle));
  std::vector<int> sizes = shape.articleSizes;
  std::sort(sizes.begin(), sizes.end());
  if (!sizes.empty() && sizes[sizes.size() * 9 / 10] > 3500)
    fault("book", "a tenth of the articles above " + std::to_string(sizes[sizes.size() * 9 / 10]) + " bytes");
  return shape;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& line : lines) s += line + '\n';
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(bookgenSample, IsTheOutputOfTheDefaultSeed) {
  const std::string stored = ReadFile(LUMORA_SOURCE_DIR "/resources/book/sample.book");
  const std::string generated = GenerateBook(kDefaultBookSeed);
  ASSERT_FALSE(stored.empty()) << "resources/book/sample.book is missing";
  if (stored == generated) return;
  const auto diff = std::mismatch(stored.begin(), stored.end(), generated.begin(), generated.end());
  const long line = 1 + std::count(stored.begin(), diff.first, '\n');
  FAIL() << "resources/book/sample.book differs from the generator's output from line " << line
         << "; rebuild it with the target bookgen-sample";
}

class bookgenSeed : public testing::TestWithParam<std::uint64_t> {};

TEST_P(bookgenSeed, HasTheShapeOfTheBook) {
  const Shape shape = MeasureBook(GenerateBook(GetParam()));
  EXPECT_TRUE(shape.faults.empty()) << Joined(shape.faults);
  EXPECT_EQ(shape.indexSize, 1254);
}

TEST_P(bookgenSeed, NamesItsOriginInTheHeader) {
  const Book book = ReadBook(GenerateBook(GetParam()));
  const std::string header = Joined(book.comments);
  EXPECT_NE(header.find("tools/bookgen"), std::string::npos) << header;
  EXPECT_NE(header.find("seed " + std::to_string(GetParam())), std::string::npos) << header;
  EXPECT_NE(header.find("do not edit by hand"), std::string::npos) << header;
}

TEST_P(bookgenSeed, DependsOnTheSeedAlone) {
  const std::string book = GenerateBook(GetParam());
  EXPECT_FALSE(GenerateBook(GetParam() + 1) == book);
  EXPECT_TRUE(GenerateBook(GetParam()) == book);
}

INSTANTIATE_TEST_SUITE_P(Seeds, bookgenSeed,
                         testing::Values(kDefaultBookSeed, 0u, 1u, 2u, 1000u, 0x9E3779B97F4A7C15u,
                                         UINT64_MAX - 1));

// The measuring must notice a broken book, or the shape test proves nothing.
struct Breakage {
  const char* name;
  std::string (*apply)(std::string book);
  const char* fault;
};

std::string Replace(std::string book, const std::string& from, const std::string& to) {
  const size_t at = book.find(from);
  if (at != std::string::npos) book.replace(at, from.size(), to);
  return book;
}

// Where the book's first paragraph starts, after the first title.
size_t FirstParagraphLine(const std::string& book) {
  return book.find("\n\n", book.find("\n### main\n")) + 2;
}

// One more paragraph right after the title of every commentary.
std::string OpenEveryCommentary(std::string book) {
  for (size_t at = book.find("### commentary\n"); at != std::string::npos;
       at = book.find("### commentary\n", at + 1))
    book.insert(book.find("\n\n", at) + 2, "\u05D0\u05D1.\n\n");
  return book;
}

std::string LengthenFirstParagraph(std::string book) {
  std::string words;
  for (int i = 0; i < 1000; ++i) words += "\u05D0\u05D1 ";
  return book.insert(FirstParagraphLine(book), words);
}

const Breakage kBreakages[] = {
    {"long label", [](std::string b) { return Replace(b, "\n## ", "\n## \u05D0\u05D0"); }, "label of"},
    {"lost side",
     [](std::string b) {
       const size_t from = b.find("\n## ");
       return b.erase(from, b.find("\n## ", from + 1) - from);
     },
     "sides"},
    {"lemma alone", [](std::string b) { return Replace(b, "\n> ", "\n> \u05D0\n\n> "); }, "lemma without"},
    {"lowercase", [](std::string b) { return b.insert(FirstParagraphLine(b), "a"); }, "not allowed"},
    {"digit", [](std::string b) { return b.insert(FirstParagraphLine(b), "7"); }, "not allowed"},
    {"mem at a word's end", [](std::string b) { return b.insert(FirstParagraphLine(b), "\u05DE "); },
     "non-final"},
    {"final nun inside a word", [](std::string b) { return b.insert(FirstParagraphLine(b), "\u05DF\u05D0"); },
     "final letter inside"},
    {"paragraph without its stop",
     [](std::string b) { return b.insert(b.find("\n\n", FirstParagraphLine(b)), " \u05D0\u05D1"); },
     "not ending"},
    {"second title", [](std::string b) { return b.insert(FirstParagraphLine(b), "! \u05D0\u05D1\n\n"); },
     "title after"},
    {"paragraph of 3,000 bytes more", LengthenFirstParagraph, "longest paragraph"},
    {"a record more in each commentary", OpenEveryCommentary, "records per article from 2 to 93"},
};

TEST(bookgenMeasure, NoticesABrokenBook) {
  const std::string book = GenerateBook(kDefaultBookSeed);
  for (const Breakage& breakage : kBreakages) {
    SCOPED_TRACE(breakage.name);
    const std::string broken = breakage.apply(book);
    ASSERT_NE(broken, book);
    const Shape shape = MeasureBook(broken);
    EXPECT_NE(Joined(shape.faults).find(breakage.fault), std::string::npos) << Joined(shape.faults);
  }
}

struct CommandCase {
  std::vector<const char*> args;
  int status;
  const char* out;  // nullptr: the book of `seed`
  std::uint64_t seed;
  const char* err;
};

const CommandCase kCommands[] = {
    {{}, 0, nullptr, kDefaultBookSeed, ""},
    {{"--seed", "7"}, 0, nullptr, 7, ""},
    {{"--seed", "18446744073709551615"}, 0, nullptr, UINT64_MAX, ""},
    {{"--seed", "3", "--seed", "4"}, 0, nullptr, 4, ""},
    {{"--help"}, 0, "--seed N", 0, ""},
    {{"--seed", "18446744073709551616"}, 2, "", 0, "bad seed"},
    {{"--seed", "-1"}, 2, "", 0, "bad seed"},
    {{"--seed", "12x"}, 2, "", 0, "bad seed"},
    {{"--seed", ""}, 2, "", 0, "bad seed"},
    {{"--seed"}, 2, "", 0, "needs a value"},
    {{"--out"}, 2, "", 0, "needs a value"},
    {{"--verbose"}, 2, "", 0, "unknown argument"},
    {{"--out", "/nonexistent-dir/book"}, 1, "", 0, "cannot write"},
};

TEST(bookgenCommand, ParsesItsArguments) {
  for (const CommandCase& c : kCommands) {
    std::vector<const char*> argv{"lumora-bookgen"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::string line;
    for (const char* a : argv) line += std::string(a) + ' ';
    SCOPED_TRACE(line);
    std::ostringstream out, err;
    EXPECT_EQ(RunBookgen(static_cast<int>(argv.size()), argv.data(), out, err), c.status);
    if (c.out == nullptr) {
      EXPECT_TRUE(out.str() == GenerateBook(c.seed));
    } else {
      EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
    }
    if (c.status == 0) {
      EXPECT_EQ(err.str(), "");
    } else {
      EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
    }
  }
}

TEST(bookgenCommand, WritesTheFileNamedByOut) {
  const std::string path = testing::TempDir() + "bookgen-out.book";
  const char* argv[] = {"lumora-bookgen", "--seed", "12", "--out", path.c_str()};
  std::ostringstream out, err;
  ASSERT_EQ(RunBookgen(5, argv, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(ReadFile(path) == GenerateBook(12));
  std::filesystem::remove(path);
}

}  // namespace
