// PalmDoc LZ77 streams of the stored book.
#pragma once

#include "platform/types.h"

// Failure codes written to the caller's error place, when one is given.
enum {
  STORE_NOT_FOUND = 1,    // no resource with that id
  STORE_NO_MEMORY = 2,    // resource empty or not loadable; output not allocated
  STORE_BAD_HEADER = 3,   // container too short, L below 5 or C zero
  STORE_NO_INPUT = 4,     // no input, or D is zero
  STORE_BAD_STREAM = 5,   // the stream does not produce exactly D bytes
};

// Expands `size` (C) compressed bytes into a new LocalAlloc block of
// `expanded` (D) + 2 bytes: bytes 0 to D - 1 hold the data, byte D is zero and
// byte D + 1 is not written. The caller frees the block with LocalFree.
// A stream that cannot produce D bytes, or that points outside its input or
// its output, shows "UnCompress() buffer error!" and gives nothing.
BYTE* UnCompress(const BYTE* stream, unsigned size, unsigned expanded, int* error);
