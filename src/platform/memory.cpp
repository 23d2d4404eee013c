// The heap behind LocalAlloc. Every block carries a small header with its
// size and a tag, so LocalSize can answer and LocalFree can refuse what is
// not ours. The counters let tests fail the n-th call and check for leaks.
#include "platform/memory.h"

#include <cstdlib>
#include <cstring>

#include "platform/testing.h"

namespace {

constexpr uint64_t kTag = 0x4c4d4845'41504b31ull;  // "LMHEAPK1"

struct alignas(16) BlockHeader {
  uint64_t tag;
  uint64_t size;
};

unsigned long g_calls;     // allocation calls so far
unsigned long g_failAt;    // the call that fails, 0 for none
long g_live;               // blocks handed out and not yet freed

bool ShouldFail() {
  ++g_calls;
  if (g_failAt != 0 && g_calls == g_failAt) {
    g_failAt = 0;
    return true;
  }
  return false;
}

BlockHeader* HeaderOf(HLOCAL block) {
  if (block == nullptr) return nullptr;
  BlockHeader* h = static_cast<BlockHeader*>(block) - 1;
  return h->tag == kTag ? h : nullptr;
}

}  // namespace

HLOCAL LocalAlloc(UINT flags, size_t bytes) {
  if (ShouldFail() || bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  auto* h = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
  if (h == nullptr) return nullptr;
  h->tag = kTag;
  h->size = bytes;
  if (flags & LMEM_ZEROINIT) std::memset(h + 1, 0, bytes);
  ++g_live;
  return h + 1;
}

HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, UINT flags) {
  BlockHeader* old = HeaderOf(block);
  if (old == nullptr) return nullptr;
  if (ShouldFail() || bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  size_t oldSize = old->size;
  auto* h = static_cast<BlockHeader*>(std::realloc(old, sizeof(BlockHeader) + bytes));
  if (h == nullptr) return nullptr;
  h->size = bytes;
  if ((flags & LMEM_ZEROINIT) && bytes > oldSize)
    std::memset(reinterpret_cast<BYTE*>(h + 1) + oldSize, 0, bytes - oldSize);
  return h + 1;
}

HLOCAL LocalFree(HLOCAL block) {
  if (block == nullptr) return nullptr;
  BlockHeader* h = HeaderOf(block);
  if (h == nullptr) return block;
  h->tag = 0;
  std::free(h);
  --g_live;
  return nullptr;
}

size_t LocalSize(HLOCAL block) {
  BlockHeader* h = HeaderOf(block);
  return h ? static_cast<size_t>(h->size) : 0;
}

void TestFailAllocationAt(unsigned long nth) { g_failAt = nth == 0 ? 0 : g_calls + nth; }
unsigned long TestAllocationCalls() { return g_calls; }
long TestLiveAllocations() { return g_live; }
