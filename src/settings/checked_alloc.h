// Allocation that never returns without memory: on failure it tells the
// reader, saves the settings and ends the program.
#pragma once

#include <cstddef>

// A LocalAlloc block of `size` bytes. When none can be had: the message box
// "There is not enough memory, aborting" (no owner, caption "Error", stop
// icon), then the program's exit routine, which does not return.
void* CheckedAlloc(size_t size);

// The shell's way out: saves the settings, shows the taskbar again and ends
// the process with exit code 0. Until one is set, the process just exits 0.
void SetOutOfMemoryExit(void (*exitRoutine)());
