// The article view over the built-in book at the handheld's pane width, in
// David CLM: the layout of every article beside the floor any layout pays
// (one MeasureRun over each paragraph's whole text), and painting one full
// pane of each article.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstring>
#include <vector>

#include "content/article.h"
#include "content/stored.h"
#include "platform/gdi.h"
#include "platform/memory.h"
#include "view/article_view.h"
#include "view/font_choice.h"
#include "view/text_run.h"

namespace {

constexpr int kPaneWidth = 227;
constexpr int kPaneHeight = 132;

struct Book {
  std::vector<BYTE*> articles;
  HDC surface = nullptr;
  struct FontSpec choice;
};

Book& TheBook() {
  static Book* book = [] {
    Book* b = new Book;
    for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) {
      BYTE* article = FetchStored(n, nullptr);
      if (article != nullptr) b->articles.push_back(article);
    }
    b->surface = CreateCompatibleDC(nullptr);
    SelectObject(b->surface, CreateCompatibleBitmap(b->surface, kPaneWidth, kPaneHeight));
    std::memset(&b->choice, 0, sizeof b->choice);
    std::memcpy(b->choice.faceName, u"David CLM", sizeof u"David CLM");
    b->choice.letterBase = DEFAULT_LETTER_BASE;
    FontSpec = b->choice;
    Flags = DEFAULT_FLAGS;
    return b;
  }();
  return *book;
}

ArticleView* NewView(const Book& book) {
  RECT box = {0, 0, kPaneWidth, kPaneHeight};
  return CreateArticleView(book.surface, &box, &book.choice, 100);
}

// Lays out into a view that keeps none of the texts: they stay the book's.
void BM_View_Layout(benchmark::State& state) {
  Book& book = TheBook();
  ArticleView* view = NewView(book);
  for (auto _ : state) {
    for (BYTE* article : book.articles) {
      if (LayoutArticle(view, article, false) != LAYOUT_DONE) state.SkipWithError("layout failed");
      benchmark::DoNotOptimize(view->totalLines);
    }
  }
  view->text = nullptr;
  DestroyArticleView(view, true);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(book.articles.size()));
}

// The same fonts, selected as the layout selects them, and each paragraph's
// text measured once whole.
void BM_View_MeasureFloor(benchmark::State& state) {
  Book& book = TheBook();
  ArticleView* view = NewView(book);
  for (auto _ : state) {
    for (BYTE* article : book.articles) {
      unsigned size = StoredLength(article), at = 0;
      ParagraphRecord rec;
      HFONT kept = SelectStyle(view, 1, false);
      BYTE style = 1;
      while (NextParagraph(article, size, &at, &rec)) {
        if (IsRuleRecord(rec.flags)) continue;
        if ((rec.flags & PF_STYLE_KEY) != (style & PF_STYLE_KEY)) SelectStyle(view, rec.flags, false);
        style = rec.flags;
        int width = INT_MAX, count = rec.textLength;
        MeasureRun(book.surface, article + rec.textOffset, &width, &count);
        benchmark::DoNotOptimize(width);
      }
      if (kept != nullptr) SelectObject(book.surface, kept);
    }
  }
  DestroyArticleView(view, true);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(book.articles.size()));
}

// One full pane of every article, each laid out beforehand in its own view.
void BM_View_PaintPane(benchmark::State& state) {
  Book& book = TheBook();
  std::vector<ArticleView*> views;
  for (BYTE* article : book.articles) {
    ArticleView* view = NewView(book);
    LayoutArticle(view, article, false);
    views.push_back(view);
  }
  for (auto _ : state) {
    for (ArticleView* view : views) benchmark::DoNotOptimize(PaintArticle(view, true));
  }
  for (ArticleView* view : views) {
    view->text = nullptr;
    DestroyArticleView(view, true);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(book.articles.size()));
}

}  // namespace

BENCHMARK(BM_View_Layout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_View_MeasureFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_View_PaintPane)->Unit(benchmark::kMillisecond);
