// The platform's heap. App code allocates only through these calls, so a
// test can make any one of them fail (testing.h).
#pragma once

#include "platform/types.h"

#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// Moveable blocks are plain pointers too, as on the handheld: the handle is
// the address of the block.
HLOCAL LocalAlloc(UINT flags, size_t bytes);
// Returns the new block, or nothing (the old block is then untouched).
HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, UINT flags);
// Returns nothing on success, the block itself when it is not a heap block.
HLOCAL LocalFree(HLOCAL block);
// The size asked for when the block was made; 0 for nothing.
size_t LocalSize(HLOCAL block);
