// BookCode to UTF-16: the letter base, '~' for '{', and the optional
// reversal with mirrored brackets.
#pragma once

#include "platform/types.h"

// A conversion buffer that only grows: room for capacity units and a zero.
struct UnitBuffer {
  WCHAR* units;
  int capacity;
};

// The one buffer shared by every measure and draw; a result in it is valid
// until the next conversion. It lives for the whole run.
extern UnitBuffer MapScratch;

// Converts count bytes (stopping early at a zero byte) and writes a zero
// after them. With a scratch the result lives there; with none it is a new
// LocalAlloc block of count + 1 units that the caller frees. Reverses with
// mirrored brackets when FLAG_REVERSE is set and the letter base is not 97.
// Returns nothing when memory runs out.
WCHAR* MapToUnicode(const BYTE* text, UnitBuffer* scratch, int count);

// As MapToUnicode, telling how many units it wrote; reverses only when
// `display` is set (measuring always works on the stored order).
WCHAR* MapRun(const BYTE* text, UnitBuffer* scratch, int count, bool display, int* converted);

// Reverses n units in place, turning each bracket to face the other way.
// Works in place, so it never fails; returns 0.
int MirrorReverse(WCHAR* units, int n);
