#include <algorithm>

#include "content/article.h"
#include "content/stored.h"
#include "view/article_view.h"
#include "view/text_run.h"

namespace {

constexpr COLORREF kHighlightText = 0xFF0000;  // blue
constexpr COLORREF kHighlightBack = 0x00FFFF;  // yellow

// Where drawing starts: the first record to draw, its y and the room left.
struct FirstVisible {
  int record;
  int y;
  int room;
};

FirstVisible FindFirstVisible(ArticleView* view) {
  if (view->topLine > view->totalLines) view->topLine = view->maxTopLine;
  int d = 0, r = 0;
  while (view->lines[r].flags != 0 && d < view->topLine) {
    d += (view->lines[r].flags & PF_BLANK_AFTER) ? 2 : 1;
    ++r;
  }
  FirstVisible first = {r, view->top, view->height};
  if (d > view->topLine) {
    // The top line is the blank line after the previous record.
    first.y += view->lines[r - 1].height;
    first.room -= view->lines[r - 1].height;
  }
  return first;
}

BYTE StartingStyle(const LineRecord& line) {
  return line.flags == 0 || IsRuleRecord(line.flags) ? 1 : line.flags;
}

// A text line's pieces inside the article's D bytes: the run, and on a
// hanging line the word in the column beside it.
struct LinePieces {
  const BYTE* run;
  int runLength;
  const BYTE* word;
  int wordLength;
};

unsigned WordEnd(const BYTE* text, unsigned size, unsigned at) {
  while (at < size && text[at] != ' ' && text[at] != 0) ++at;
  return at;
}

unsigned SpacesEnd(const BYTE* text, unsigned size, unsigned at) {
  while (at < size && text[at] == ' ') ++at;
  return at;
}

LinePieces SplitLine(const BYTE* text, unsigned size, const LineRecord& line) {
  unsigned at = std::min<unsigned>(line.offset, size);
  LinePieces pieces = {text + at, 0, nullptr, 0};
  if (line.hangWidth != 0 && !(line.flags & PF_RTL)) {
    unsigned end = WordEnd(text, size, at);
    pieces.word = text + at;
    pieces.wordLength = static_cast<int>(end - at);
    at = SpacesEnd(text, size, end);
    pieces.run = text + at;
  }
  pieces.runLength = static_cast<int>(std::min<unsigned>(line.length, size - at));
  if (line.hangWidth != 0 && (line.flags & PF_RTL)) {
    unsigned from = SpacesEnd(text, size, WordEnd(text, size, at + pieces.runLength));
    pieces.word = text + from;
    pieces.wordLength = static_cast<int>(WordEnd(text, size, from) - from);
  }
  return pieces;
}

// Measures the hanging word in its column; returns the left of its box.
int FitHangingWord(HDC surface, const LineRecord& line, const LinePieces& pieces, int* width, int* count) {
  *width = line.hangWidth;
  *count = pieces.wordLength;
  MeasureRun(surface, pieces.word, width, count);
  if (line.flags & PF_RTL) return line.x + line.width + line.hangWidth - *width;
  return line.x - line.hangWidth;
}

void DrawTextLine(HDC surface, const BYTE* text, unsigned size, const LineRecord& line, int y) {
  LinePieces pieces = SplitLine(text, size, line);
  if (line.hangWidth != 0) {
    int width = 0, count = 0;
    int left = FitHangingWord(surface, line, pieces, &width, &count);
    DrawRun(surface, pieces.word, count, left, y, width, line.height);
  }
  DrawRun(surface, pieces.run, pieces.runLength, line.x, y, line.width, line.height);
}

void DrawRule(HDC surface, const LineRecord& line, int y) {
  HGDIOBJ brush = SelectObject(surface, GetStockObject(BLACK_BRUSH));
  int middle = y + line.height / 2;
  Rectangle(surface, line.x, middle, line.x + line.width, middle + 1);
  SelectObject(surface, brush);
}

void HighlightTextLine(ArticleView* view, unsigned size, const LineRecord& line, int y) {
  LinePieces pieces = SplitLine(view->text, size, line);
  if (line.hangWidth != 0 && (line.flags & PF_RTL)) {
    // The whole hanging word shows whenever its line touches the hit.
    int width = 0, count = 0;
    int left = FitHangingWord(view->surface, line, pieces, &width, &count);
    DrawRunColored(view->surface, pieces.word, count, left, y, width, line.height, kHighlightText,
                   kHighlightBack);
  } else if (line.hangWidth != 0) {
    DrawHighlightPiece(view, pieces.word, pieces.wordLength, line.x - line.hangWidth, y);
  }
  DrawHighlightPiece(view, pieces.run, pieces.runLength, line.x, y);
}

void KeepFont(HFONT* kept, HFONT before) {
  if (*kept == nullptr) *kept = before;
}

}  // namespace

int PaintArticle(ArticleView* view, bool clear) {
  if (view == nullptr || view->text == nullptr || view->lines == nullptr) return -1;
  HDC surface = view->surface;
  unsigned size = StoredLength(view->text);
  view->pageLines = 0;
  FirstVisible first = FindFirstVisible(view);
  BYTE style = StartingStyle(view->lines[first.record]);
  COLORREF savedColour = GetTextColor(surface);
  HFONT kept = SelectStyle(view, style, true);
  if (clear) {
    Box box = {view->left, view->top, view->width, view->height};
    FillBox(surface, &box, WHITE_BRUSH);
  }
  int y = first.y, room = first.room;
  for (const LineRecord* line = &view->lines[first.record]; line->flags != 0; ++line) {
    if (room < line->height) break;
    if (IsRuleRecord(line->flags)) {
      DrawRule(surface, *line, y);
    } else {
      if ((line->flags & PF_STYLE_KEY) != (style & PF_STYLE_KEY)) {
        KeepFont(&kept, SelectStyle(view, line->flags, true));
        style = line->flags;
      }
      DrawTextLine(surface, view->text, size, *line, y);
    }
    int lines = (line->flags & PF_BLANK_AFTER) ? 2 : 1;
    y += lines * line->height;
    room -= lines * line->height;
    view->pageLines += lines;
  }
  if (kept != nullptr) SelectObject(surface, kept);
  SetTextColor(surface, savedColour);
  if (view->hitStart != 0 || view->hitEnd != 0) return PaintHighlight(view);
  return 0;
}

int PaintHighlight(ArticleView* view) {
  if (view == nullptr || view->text == nullptr || view->lines == nullptr) return -1;
  unsigned size = StoredLength(view->text);
  FirstVisible first = FindFirstVisible(view);
  BYTE style = StartingStyle(view->lines[first.record]);
  HFONT kept = SelectStyle(view, style, false);
  int y = first.y, room = first.room;
  for (const LineRecord* line = &view->lines[first.record]; line->flags != 0; ++line) {
    if (room < line->height) break;
    bool touches = line->offset <= view->hitEnd && view->hitStart <= line->offset + line->length;
    if (!IsRuleRecord(line->flags) && touches) {
      if ((line->flags & PF_STYLE_KEY) != (style & PF_STYLE_KEY)) {
        KeepFont(&kept, SelectStyle(view, line->flags, false));
        style = line->flags;
      }
      HighlightTextLine(view, size, *line, y);
    }
    int lines = (line->flags & PF_BLANK_AFTER) ? 2 : 1;
    y += lines * line->height;
    room -= lines * line->height;
  }
  if (kept != nullptr) SelectObject(view->surface, kept);
  return 0;
}

void DrawHighlightPiece(ArticleView* view, const BYTE* run, int count, int x, int y) {
  long at = run - view->text;
  long before = view->hitStart - at;
  int dx = 0;
  if (before >= 0) {
    count -= static_cast<int>(before);
    if (count < 0) return;
    SIZE size;
    RunExtent(view->surface, run, static_cast<int>(before), &size);
    dx = size.cx;
    run += before;
    at += before;
  }
  count = static_cast<int>(std::min<long>(count, view->hitEnd - at));
  if (count <= 0) return;
  SIZE size;
  RunExtent(view->surface, run, count, &size);
  DrawRunColored(view->surface, run, count, x + dx, y, size.cx, size.cy, kHighlightText, kHighlightBack);
}

int ScrollArticle(ArticleView* view, int delta, bool paint) {
  if (view == nullptr) return -1;
  long current = view->topLine, next = current + delta;
  if (next < 0)
    next = 0;
  else if (next >= current && current >= view->maxTopLine)
    return SCROLL_UNCHANGED;
  else if (next > view->totalLines)
    next = view->maxTopLine;
  if (paint && next == current) return SCROLL_UNCHANGED;
  bool moved = next != current;
  if (moved) view->topLine = static_cast<WORD>(next);
  if (paint) return PaintArticle(view, true);
  return moved ? SCROLL_MOVED : SCROLL_UNCHANGED;
}
