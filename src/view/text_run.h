// Measuring and drawing runs of BookCode text: everything that measures or
// draws article text goes through these.
#pragma once

#include "platform/gdi.h"
#include "platform/types.h"

// left, top, width, height; the rectangle is (left, top, left + width, top + height).
struct Box {
  LONG left;
  LONG top;
  LONG width;
  LONG height;
};

// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX
#define RUN_FORMAT 0x825

// On entry *width is the room and *count the bytes of the run; on return
// *count is the bytes that fit and *width their width. Measures the text in
// stored order whatever FLAG_REVERSE says. Returns 0, or -1 (nothing fits)
// when the run cannot be converted.
int MeasureRun(HDC surface, const BYTE* text, int* width, int* count);

// The size of count bytes in stored order, with no width limit; -1 when the
// run cannot be converted (size then zero).
int RunExtent(HDC surface, const BYTE* text, int count, SIZE* size);

// Draws count bytes centred in the box; nothing when they cannot be converted.
void DrawRun(HDC surface, const BYTE* text, int count, int left, int top, int width, int height);

// DrawRun on an opaque background, leaving the surface's background mode
// and colours as they were.
void DrawRunColored(HDC surface, const BYTE* text, int count, int left, int top, int width, int height,
                    COLORREF textColour, COLORREF backColour);

// Fills the box with a stock brush.
void FillBox(HDC surface, const Box* box, int stockObject);
