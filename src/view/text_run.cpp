#include "view/text_run.h"

#include <climits>

#include "view/letters.h"

namespace {

// Two extent calls: the first tells what fits, the second the width of that
// part, which the first does not give.
void MeasureUnits(HDC surface, const WCHAR* units, int* width, int* count) {
  int room = *width, fit = 0;
  SIZE size = {0, 0};
  *width = 0;
  if (*count <= 0 || !GetTextExtentExPointW(surface, units, *count, room, &fit, nullptr, &size) || fit <= 0) {
    *count = 0;
    return;
  }
  if (fit > *count) fit = *count;
  if (!GetTextExtentExPointW(surface, units, fit, room, nullptr, nullptr, &size)) size.cx = 0;
  *count = fit;
  *width = size.cx;
}

}  // namespace

int MeasureRun(HDC surface, const BYTE* text, int* width, int* count) {
  int n = 0;
  const WCHAR* units = MapRun(text, &MapScratch, *count, false, &n);
  if (units == nullptr) {
    *width = 0;
    *count = 0;
    return -1;
  }
  *count = n;
  MeasureUnits(surface, units, width, count);
  return 0;
}

int RunExtent(HDC surface, const BYTE* text, int count, SIZE* size) {
  int n = 0;
  const WCHAR* units = MapRun(text, &MapScratch, count, false, &n);
  size->cx = size->cy = 0;
  if (units == nullptr) return -1;
  if (n > 0 && !GetTextExtentExPointW(surface, units, n, INT_MAX, nullptr, nullptr, size)) size->cx = size->cy = 0;
  return 0;
}

void DrawRun(HDC surface, const BYTE* text, int count, int left, int top, int width, int height) {
  if (count <= 0) return;
  int n = 0;
  const WCHAR* units = MapRun(text, &MapScratch, count, true, &n);
  if (units == nullptr || n == 0) return;
  RECT box = {left, top, left + width, top + height};
  DrawTextW(surface, units, n, &box, RUN_FORMAT);
}

void DrawRunColored(HDC surface, const BYTE* text, int count, int left, int top, int width, int height,
                    COLORREF textColour, COLORREF backColour) {
  int mode = SetBkMode(surface, OPAQUE);
  COLORREF oldText = SetTextColor(surface, textColour);
  COLORREF oldBack = SetBkColor(surface, backColour);
  DrawRun(surface, text, count, left, top, width, height);
  SetBkColor(surface, oldBack);
  SetTextColor(surface, oldText);
  SetBkMode(surface, mode);
}

void FillBox(HDC surface, const Box* box, int stockObject) {
  RECT r = {box->left, box->top, box->left + box->width, box->top + box->height};
  FillRect(surface, &r, static_cast<HBRUSH>(GetStockObject(stockObject)));
}
