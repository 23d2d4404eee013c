#include <algorithm>
#include <cstring>

#include "content/article.h"
#include "content/stored.h"
#include "view/article_view.h"
#include "view/text_run.h"

namespace {

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kYellow = 0x00FFFF;

void TakeTitle(const BYTE* article, const ParagraphRecord& rec, TitleLine* title) {
  title->text = article + rec.textOffset;
  title->length = rec.textLength;
}

}  // namespace

void GetTitleLines(const BYTE* article, TitleLine* first, TitleLine* second) {
  std::memset(first, 0, sizeof *first);
  std::memset(second, 0, sizeof *second);
  if (article == nullptr) return;
  unsigned size = StoredLength(article), at = 0;
  ParagraphRecord rec;
  if (!NextParagraph(article, size, &at, &rec)) return;
  if (rec.flags == TITLE_FIRST_FLAGS) {
    TakeTitle(article, rec, first);
    if (!NextParagraph(article, size, &at, &rec)) return;
  }
  if (rec.flags == TITLE_SECOND_FLAGS) TakeTitle(article, rec, second);
}

void DrawFrame(HDC surface, RECT* rect, COLORREF colour, int passes) {
  HPEN pen = CreatePen(PS_SOLID, 0, colour);
  HGDIOBJ previous = pen ? SelectObject(surface, pen) : nullptr;
  for (int pass = 0; pass < passes; ++pass) {
    if (pen) Rectangle(surface, rect->left, rect->top, rect->right, rect->bottom);
    ++rect->left, ++rect->top, --rect->right, --rect->bottom;
  }
  if (pen) {
    SelectObject(surface, previous);
    DeleteObject(pen);
  }
}

void DrawTitleBox(ArticleView* view) {
  if (view == nullptr) return;
  TitleLine titles[2];
  GetTitleLines(view->text, &titles[0], &titles[1]);
  if (titles[0].length == 0 && titles[1].length == 0) return;
  HDC surface = view->surface;
  HFONT kept = SelectStyle(view, PF_SMALL, true);
  bool present[2] = {titles[0].length != 0, titles[1].length != 0};
  int lines = present[0] && present[1] ? 2 : 1;
  TEXTMETRICW tm;
  std::memset(&tm, 0, sizeof tm);
  GetTextMetricsW(surface, &tm);
  int lineHeight = tm.tmHeight;
  int mode = SetBkMode(surface, OPAQUE);
  int widest = 0;
  for (int k = 0; k < 2; ++k) {
    if (!present[k]) continue;
    titles[k].width = view->width;
    MeasureRun(surface, titles[k].text, &titles[k].width, &titles[k].length);
    widest = std::max(widest, titles[k].width);
  }
  int boxWidth = std::min(widest + 2 * lineHeight + 8, static_cast<int>(view->width));
  RECT box;
  box.left = view->left + (view->width - boxWidth) / 2;
  box.right = box.left + boxWidth;
  box.top = view->top + view->height - lines * lineHeight - 12;
  box.bottom = view->top + view->height - 2;
  DrawFrame(surface, &box, kRed, 2);
  DrawFrame(surface, &box, kWhite, 1);
  DrawFrame(surface, &box, kBlue, 2);
  HBRUSH fill = CreateSolidBrush(kYellow);
  if (fill) {
    FillRect(surface, &box, fill);
    DeleteObject(fill);
  }
  int top = box.top, innerWidth = box.right - box.left;
  for (int k = 0; k < 2; ++k) {
    if (!present[k]) continue;
    const TitleLine& title = titles[k];
    DrawRunColored(surface, title.text, title.length, box.left + (innerWidth - title.width) / 2, top, title.width,
                   lineHeight, kRed, kYellow);
    top += lineHeight;
  }
  if (kept != nullptr) SelectObject(surface, kept);
  SetBkMode(surface, mode);
}
