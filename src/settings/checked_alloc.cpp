#include "settings/checked_alloc.h"

#include <cstdlib>

#include "platform/dialogs.h"
#include "platform/memory.h"

namespace {

void (*g_exit)() = nullptr;

}  // namespace

void SetOutOfMemoryExit(void (*exitRoutine)()) { g_exit = exitRoutine; }

void* CheckedAlloc(size_t size) {
  void* block = LocalAlloc(LMEM_FIXED, size);
  if (block != nullptr) return block;
  MessageBoxW(nullptr, u"There is not enough memory, aborting", u"Error", MB_OK | MB_ICONSTOP);
  if (g_exit != nullptr) g_exit();
  std::exit(0);
}
