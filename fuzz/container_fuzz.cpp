// A stored resource as FetchStored sees it: the container check, the
// expansion, then every walk the readers of articles and of the index use.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "content/article.h"
#include "content/stored.h"
#include "index/entry_stream.h"
#include "platform/memory.h"
#include "platform/testing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> resource(data, data + size);  // exact size: overruns are findings
  int error = 0;
  BYTE* block = OpenContainer(resource.empty() ? nullptr : resource.data(), static_cast<DWORD>(size), &error);
  TestClearMessageBoxes();
  if (block == nullptr) {
    if (error < STORE_NO_MEMORY || error > STORE_BAD_STREAM) std::abort();
    return 0;
  }
  unsigned length = StoredLength(block);
  // Walk an exact-size copy of the D bytes, without the zero after them.
  std::vector<uint8_t> text(block, block + length);
  LocalFree(block);
  unsigned at = 0, records = 0;
  ParagraphRecord r;
  while (NextParagraph(text.data(), length, &at, &r)) {
    if (++records > length) std::abort();
  }
  at = 0;
  records = 0;
  IndexEntry e;
  while (NextIndexEntry(text.data(), length, &at, &e)) {
    if (++records > length) std::abort();
  }
  return 0;
}
