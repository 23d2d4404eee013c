// One article in one pane: the view record, its line table and its fonts,
// the layout of an article into display lines, and painting, highlighting
// and scrolling it.
#pragma once

#include "platform/gdi.h"
#include "platform/types.h"
#include "view/font_choice.h"

// One laid-out line; the table ends with a record whose flags is 0.
struct LineRecord {
  WORD offset;     // of the run in the article (of the hanging word on a hanging left-to-right line)
  WORD length;     // bytes in the run, 0 for a rule
  WORD x;          // left edge of the run on the surface
  WORD hangWidth;  // hanging column on the first line of a paragraph with a hanging word
  WORD width;      // of the run, or of the rule
  WORD height;     // of the display line
  BYTE flags;      // the paragraph's; PF_BLANK_AFTER only on its last line
};

// A cached font for one style key; a list owned by the view, newest first.
struct FontSlot {
  FontSlot* next;
  HFONT font;  // none after the fonts were released
  BYTE key;
};

struct ArticleView {
  LineRecord* lines;  // lineCapacity records and a terminator
  HDC surface;
  BYTE* text;  // owned: a LocalAlloc block of D + 2 bytes
  int pageLines;
  struct FontSpec fontSpec;
  FontSlot* fontSlots;
  LONG left;
  LONG top;
  LONG width;
  LONG height;
  WORD topLine;
  WORD totalLines;
  WORD lineCount;
  WORD lineCapacity;
  WORD maxTopLine;
  WORD hitStart;
  WORD hitEnd;
};

// The pen position after each character of the run the layout measures.
// Grows only, like MapScratch, and lives for the whole run.
struct PenBuffer {
  int* ends;
  int capacity;
};
extern PenBuffer LineEnds;

// LayoutArticle's results, as 16-bit codes.
#define LAYOUT_DONE 0
#define LAYOUT_NO_TEXT 2
#define LAYOUT_EMPTY_ARTICLE 0xFFFC
#define LAYOUT_NO_MEMORY 0xFFFE

// ResizeArticle's result for a width or height that is not positive.
#define RESIZE_BAD_SIZE (-5)

// ScrollArticle's results besides PaintArticle's.
#define SCROLL_UNCHANGED 1
#define SCROLL_MOVED 3

#define TEXT_NAVY 0x800000
#define TEXT_BLUE 0xFF0000
#define TEXT_BLACK 0x000000

// Layout (layout.cpp).
ArticleView* CreateArticleView(HDC surface, const RECT* box, const struct FontSpec* choice, int capacity);
void DestroyArticleView(ArticleView* view, bool releaseRecord);
int SetArticleFont(ArticleView* view, const struct FontSpec* choice);
int ResizeArticle(ArticleView* view, int width, int height);
int LayoutArticle(ArticleView* view, BYTE* text, bool release);
int GrowLineTable(ArticleView* view, int line);
void ComputeMaxTopLine(ArticleView* view);
int LineOfOffset(ArticleView* view, unsigned offset);
HFONT SelectStyle(ArticleView* view, BYTE flags, bool withColour);
HFONT BuildSlotFont(const ArticleView* view, BYTE key);
FontSlot* AddFontSlot(ArticleView* view, BYTE key);

// Painting (paint.cpp).
int PaintArticle(ArticleView* view, bool clear);
int PaintHighlight(ArticleView* view);
void DrawHighlightPiece(ArticleView* view, const BYTE* run, int count, int x, int y);
int ScrollArticle(ArticleView* view, int delta, bool paint);

// The title box (title_box.cpp).
struct TitleLine {
  int length;  // bytes of the title; after measuring, the bytes that fit
  int width;
  const BYTE* text;
};

void GetTitleLines(const BYTE* article, TitleLine* first, TitleLine* second);
void DrawFrame(HDC surface, RECT* rect, COLORREF colour, int passes);
void DrawTitleBox(ArticleView* view);
