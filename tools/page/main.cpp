// lumora-page: lays out and paints one article, or a side's two articles
// stacked (main above, commentary below), into a PNG.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "content/article.h"
#include "content/stored.h"
#include "platform/gdi.h"
#include "platform/memory.h"
#include "platform/png.h"
#include "view/article_view.h"
#include "view/font_choice.h"

namespace {

const char kUsage[] =
    "usage: lumora-page [options]\n"
    "  --side K            side K of the book, its main text above its commentary (default 1)\n"
    "  --article N         article N (1 to 220) alone\n"
    "  --width W           pane width in pixels (default 240)\n"
    "  --height H          pane height; 0 (the default) fits the whole article\n"
    "  --face NAME         font face (default: none chosen, any Hebrew face)\n"
    "  --size N            font size, the logical height (default 0: the platform's)\n"
    "  --letter-base N     code point of the first letter: 1488, 224 or 97 (default 1488)\n"
    "  --reverse           reverse each drawn run, brackets mirrored\n"
    "  --top-line N        first display line of the upper pane (default 0)\n"
    "  --highlight S,E     highlight text offsets S to E in the upper pane\n"
    "  --title-box         draw the title box over the foot of the upper pane\n"
    "  --output PATH       the PNG to write (default page.png)\n"
    "  --help              this text\n";

struct Options {
  int side = 1;
  int article = 0;
  int width = 240;
  int height = 0;
  std::string face;
  int size = 0;
  int letterBase = DEFAULT_LETTER_BASE;
  bool reverse = false;
  int topLine = 0;
  int hitStart = 0, hitEnd = 0;
  bool titleBox = false;
  std::string output = "page.png";
};

bool ParseNumber(const char* text, int low, int high, int* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text || *end != 0 || v < low || v > high) return false;
  *out = static_cast<int>(v);
  return true;
}

// 0 to go on, otherwise the exit code.
int ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help") {
      std::fputs(kUsage, stdout);
      return -1;
    }
    bool flag = a == "--reverse" || a == "--title-box";
    static const char* const kValued[] = {"--side", "--article", "--width", "--height", "--face", "--size",
                                          "--letter-base", "--top-line", "--highlight", "--output"};
    bool valued = false;
    for (const char* name : kValued) valued = valued || a == name;
    if (!flag && !valued) {
      std::fprintf(stderr, "lumora-page: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    }
    if (!flag && i + 1 >= argc) {
      std::fprintf(stderr, "lumora-page: %s needs a value\n%s", a.c_str(), kUsage);
      return 2;
    }
    const char* v = flag ? "" : argv[i + 1];
    bool ok = true;
    if (a == "--side") {
      ok = ParseNumber(v, 1, LAST_ARTICLE / 2, &o->side);
      o->article = 0;
    } else if (a == "--article") ok = ParseNumber(v, FIRST_ARTICLE, LAST_ARTICLE, &o->article);
    else if (a == "--width") ok = ParseNumber(v, 1, 8192, &o->width);
    else if (a == "--height") ok = ParseNumber(v, 0, 8192, &o->height);
    else if (a == "--face") o->face = v;
    else if (a == "--size") ok = ParseNumber(v, -1000, 1000, &o->size);
    else if (a == "--letter-base") ok = ParseNumber(v, 0, 0xFFFF, &o->letterBase);
    else if (a == "--top-line") ok = ParseNumber(v, 0, 0xFFFF, &o->topLine);
    else if (a == "--output") o->output = v;
    else if (a == "--reverse") o->reverse = true;
    else if (a == "--title-box") o->titleBox = true;
    else if (a == "--highlight") {
      std::string s = v;
      size_t comma = s.find(',');
      ok = comma != std::string::npos && ParseNumber(s.substr(0, comma).c_str(), 0, 0xFFFF, &o->hitStart) &&
           ParseNumber(s.substr(comma + 1).c_str(), 0, 0xFFFF, &o->hitEnd);
    }
    if (!ok) {
      std::fprintf(stderr, "lumora-page: bad value for %s: %s\n", a.c_str(), v);
      return 2;
    }
    if (!flag) ++i;
  }
  return 0;
}

// The face name from UTF-8, cut to what the record holds.
void SetFace(const std::string& utf8, WCHAR* face) {
  std::memset(face, 0, LF_FACESIZE * sizeof(WCHAR));
  size_t k = 0;
  for (size_t i = 0; i < utf8.size() && k < LF_FACESIZE - 1;) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned cp = c, extra = 0;
    if (c >= 0xF0) cp = c & 7, extra = 3;
    else if (c >= 0xE0) cp = c & 15, extra = 2;
    else if (c >= 0xC0) cp = c & 31, extra = 1;
    ++i;
    for (; extra > 0 && i < utf8.size(); --extra, ++i) cp = cp << 6 | (utf8[i] & 0x3F);
    face[k++] = static_cast<WCHAR>(cp > 0xFFFF ? u'?' : cp);
  }
}

// The height of all the display lines of a laid-out view.
int ContentHeight(const ArticleView* view) {
  int height = 0;
  for (const LineRecord* line = view->lines; line != nullptr && line->flags != 0; ++line)
    height += line->height * ((line->flags & PF_BLANK_AFTER) ? 2 : 1);
  return height;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (int code = ParseOptions(argc, argv, &o)) return code < 0 ? 0 : code;
  SetFace(o.face, FontSpec.faceName);
  FontSpec.size = o.size;
  FontSpec.letterBase = o.letterBase;
  Flags = o.reverse ? (DEFAULT_FLAGS | FLAG_REVERSE) : (DEFAULT_FLAGS & ~FLAG_REVERSE);

  std::vector<int> numbers;
  if (o.article != 0) numbers = {o.article};
  else numbers = {2 * o.side - 1, 2 * o.side};

  // Laid out first, to learn the heights; then painted on a page that holds them.
  HDC surface = CreateCompatibleDC(nullptr);
  std::vector<ArticleView*> views;
  int total = 0;
  for (int n : numbers) {
    int error = 0;
    BYTE* text = FetchStored(n, &error);
    if (text == nullptr) {
      std::fprintf(stderr, "lumora-page: article %d cannot be fetched (error %d)\n", n, error);
      return 1;
    }
    RECT box = {0, total, o.width, total + (o.height > 0 ? o.height : 1)};
    ArticleView* view = CreateArticleView(surface, &box, &FontSpec, 100);
    int result = view ? LayoutArticle(view, text, true) : -1;
    if (result != LAYOUT_DONE) {
      std::fprintf(stderr, "lumora-page: article %d cannot be laid out (%d)\n", n, result);
      return 1;
    }
    if (o.height == 0) {
      view->height = ContentHeight(view);
      ComputeMaxTopLine(view);
    }
    total += view->height;
    views.push_back(view);
  }

  HBITMAP page = CreateCompatibleBitmap(surface, o.width, total);
  if (page == nullptr) {
    std::fprintf(stderr, "lumora-page: a page of %d x %d pixels cannot be made\n", o.width, total);
    return 1;
  }
  HGDIOBJ previous = SelectObject(surface, page);
  for (size_t k = 0; k < views.size(); ++k) {
    ArticleView* view = views[k];
    if (k == 0) {
      view->topLine = static_cast<WORD>(o.topLine);
      view->hitStart = static_cast<WORD>(o.hitStart);
      view->hitEnd = static_cast<WORD>(o.hitEnd);
    }
    SetBkMode(surface, TRANSPARENT);
    PaintArticle(view, true);
    if (k == 0 && o.titleBox) DrawTitleBox(view);
    if (k > 0) {
      RECT seam = {0, view->top, o.width, view->top + 1};
      FillRect(surface, &seam, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
  }
  std::string error;
  bool saved = SavePng(surface, o.output, &error);
  for (ArticleView* view : views) DestroyArticleView(view, true);
  SelectObject(surface, previous);
  DeleteObject(page);
  DeleteDC(surface);
  if (!saved) {
    std::fprintf(stderr, "lumora-page: %s\n", error.c_str());
    return 1;
  }
  std::printf("lumora-page: wrote %s (%d x %d)\n", o.output.c_str(), o.width, total);
  return 0;
}
