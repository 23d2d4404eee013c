// Every article of the built-in book and of the real books beside the
// project, laid out at two pane sizes, three sizes and two faces: every text
// byte lands on exactly one line or is a space skipped at a line start, no
// line is wider than its room unless it is one cut character, and no line
// could have taken the next word.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "content/article.h"
#include "content/stored.h"
#include "tools/book/book_resources.h"
#include "tools/book/book_source.h"
#include "view/article_view.h"
#include "view/text_run.h"
#include "view_test_support.h"

namespace {

using Articles = std::vector<std::vector<BYTE>>;

Articles DefaultBook() {
  Articles articles;
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) {
    int error = 0;
    BYTE* block = FetchStored(n, &error);
    if (block == nullptr) return {};
    articles.emplace_back(block, block + StoredLength(block));
    LocalFree(block);
  }
  return articles;
}

Articles CompiledBook(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  book::BookSource source;
  book::CompiledBook compiled;
  std::vector<book::Diagnostic> diagnostics;
  if (!book::ParseBookSource(text, &source, &diagnostics) || !book::CompileBook(source, &compiled, &diagnostics))
    return {};
  Articles articles;
  for (const book::CompiledItem& item : compiled.items)
    if (item.number >= FIRST_ARTICLE && item.number <= LAST_ARTICLE) articles.push_back(item.data);
  return articles;
}

struct Paragraph {
  ParagraphRecord rec;
  int room;  // the room of its lines
};

bool IsSpace(BYTE b) { return b == ' '; }

int Width(HDC dc, const BYTE* text, int count) {
  int width = INT_MAX, n = count;
  MeasureRun(dc, text, &width, &n);
  return width;
}

// The end of the first word of a left-to-right line, or the start of the
// last word of a right-to-left line, within [from, to).
unsigned FirstWordEnd(const BYTE* t, unsigned from, unsigned to) {
  while (from < to && IsSpace(t[from])) ++from;
  while (from < to && !IsSpace(t[from])) ++from;
  return from;
}
unsigned LastWordStart(const BYTE* t, unsigned from, unsigned to) {
  while (to > from && IsSpace(t[to - 1])) --to;
  while (to > from && !IsSpace(t[to - 1])) --to;
  return to;
}

void CheckArticle(ArticleView* view, const std::vector<BYTE>& data) {
  ASSERT_EQ(LayoutArticle(view, viewtest::StoredBlock(data), true), LAYOUT_DONE);
  const BYTE* t = view->text;
  unsigned size = StoredLength(t);
  ASSERT_EQ(size, data.size());
  std::vector<Paragraph> paragraphs;
  ParagraphRecord rec;
  unsigned at = 0;
  while (NextParagraph(t, size, &at, &rec)) paragraphs.push_back({rec, 0});

  ASSERT_EQ(view->lines[view->lineCount].flags, 0) << "the table ends with its terminator";
  std::vector<int> cover(size, 0);
  int blanks = 0;
  size_t p = 0;
  for (int i = 0; i < view->lineCount; ++i) {
    const LineRecord& line = view->lines[i];
    SCOPED_TRACE("line " + std::to_string(i) + " at " + std::to_string(line.offset));
    ASSERT_NE(line.flags, 0);
    if (line.flags & PF_BLANK_AFTER) ++blanks;
    while (p < paragraphs.size() &&
           !(paragraphs[p].rec.textOffset <= line.offset &&
             line.offset <= paragraphs[p].rec.textOffset + paragraphs[p].rec.textLength))
      ++p;
    ASSERT_LT(p, paragraphs.size()) << "every line lies in a paragraph, in order";
    const ParagraphRecord& par = paragraphs[p].rec;
    ASSERT_EQ(line.flags & ~PF_BLANK_AFTER, par.flags & ~PF_BLANK_AFTER);
    if (IsRuleRecord(par.flags)) continue;
    unsigned end = par.textOffset + par.textLength;
    ASSERT_LE(line.offset + line.length, end);
    for (unsigned k = line.offset; k < line.offset + line.length; ++k) ++cover[k];
    if (line.hangWidth == 0) {
      HFONT kept = SelectStyle(view, line.flags, false);
      int room = view->width - (par.parameter & PARAM_INDENT);
      int measured = Width(view->surface, t + line.offset, line.length);
      EXPECT_EQ(line.width, measured);
      if (line.width > room) {
        EXPECT_EQ(line.length, 1) << "only a single cut character may be wider than the room";
      }
      bool lastOfParagraph = i + 1 == view->lineCount || view->lines[i + 1].offset < par.textOffset ||
                             view->lines[i + 1].offset > end;
      if (!lastOfParagraph) {
        const LineRecord& next = view->lines[i + 1];
        unsigned from = line.offset, to = line.offset + line.length;
        if (par.flags & PF_RTL)
          from = LastWordStart(t, next.offset, next.offset + next.length);
        else
          to = FirstWordEnd(t, next.offset, next.offset + next.length);
        EXPECT_GT(Width(view->surface, t + from, static_cast<int>(to - from)), room)
            << "the line could have taken the next word";
      }
      SelectObject(view->surface, kept);
    }
  }
  for (const Paragraph& par : paragraphs) {
    for (unsigned k = par.rec.textOffset; k < par.rec.textOffset + par.rec.textLength; ++k) {
      if (cover[k] == 1 || (cover[k] == 0 && IsSpace(t[k]))) continue;
      ADD_FAILURE() << "byte " << k << " is on " << cover[k] << " lines";
      return;
    }
  }
  bool lastBlank = view->lineCount > 0 && (view->lines[view->lineCount - 1].flags & PF_BLANK_AFTER);
  EXPECT_FALSE(lastBlank);
  EXPECT_EQ(view->totalLines, view->lineCount + blanks);
}

struct Setting {
  std::u16string face;
  int size;
  int width, height;
};

std::vector<Setting> Settings() {
  std::vector<Setting> all;
  for (const char16_t* face : {u"DejaVu Sans", u"David CLM"})
    for (int size : {0, 12, 24})
      for (auto [w, h] : {std::pair{227, 132}, std::pair{480, 600}}) all.push_back({face, size, w, h});
  return all;
}

void CheckBook(const Articles& articles) {
  ASSERT_EQ(articles.size(), 220u);
  for (const Setting& s : Settings()) {
    SCOPED_TRACE(std::string(s.face.begin(), s.face.end()) + " size " + std::to_string(s.size) + " at " +
                 std::to_string(s.width) + " x " + std::to_string(s.height));
    Canvas surface(s.width, s.height);
    RECT box = {0, 0, s.width, s.height};
    struct FontSpec choice = viewtest::Font(s.face, s.size, 1488);
    ArticleView* view = CreateArticleView(surface.dc(), &box, &choice, 100);
    for (size_t n = 0; n < articles.size(); ++n) {
      SCOPED_TRACE("article " + std::to_string(n + 1));
      CheckArticle(view, articles[n]);
      if (::testing::Test::HasFailure()) break;
    }
    DestroyArticleView(view, true);
    if (::testing::Test::HasFailure()) return;
  }
}

class WholeBook : public viewtest::ViewTest {};

TEST_F(WholeBook, DefaultBookLinesCoverEveryByte) { CheckBook(DefaultBook()); }

TEST_F(WholeBook, SharedBooksLinesCoverEveryByte) {
  std::vector<std::string> books;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(LUMORA_SHARED_BOOKS, ec))
    if (entry.path().extension() == ".book") books.push_back(entry.path().string());
  if (books.empty()) GTEST_SKIP() << "no books in " << LUMORA_SHARED_BOOKS;
  std::sort(books.begin(), books.end());
  for (const std::string& path : books) {
    SCOPED_TRACE(path);
    Articles articles = CompiledBook(path);
    ASSERT_FALSE(articles.empty()) << "the book compiles";
    CheckBook(articles);
  }
}

}  // namespace
