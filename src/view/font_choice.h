// The program's font choice and options word. They are shell state, but the
// letter mapping reads them at every conversion, so they live here, in the
// lowest layer that reads them.
#pragma once

#include "platform/gdi.h"
#include "platform/types.h"

#define DEFAULT_LETTER_BASE 1488
#define DEFAULT_FLAGS 0xD1140040u
#define FLAG_REVERSE 0x00000800u

struct FontSpec {
  WCHAR faceName[LF_FACESIZE];  // empty: no face chosen
  LONG size;                    // logical font height, 0 for the platform default
  LONG letterBase;              // the code point that BookCode 'a' is shown as
};

// The program's one choice; each view keeps its own copy. The variable
// shares the record's name, so the type is spelt `struct FontSpec` below it.
extern struct FontSpec FontSpec;
extern DWORD Flags;
