#include "index/entry_stream.h"

#include "content/article.h"

int NextIndexEntry(const BYTE* stream, unsigned size, unsigned* offset, IndexEntry* entry) {
  unsigned at = *offset;
  if (stream == nullptr || size > 0xFFFF || at >= size || size - at < ENTRY_HEADER ||
      stream[at + 2] == 0)
    return 0;
  unsigned text = at + ENTRY_HEADER;
  unsigned length = BoundedTextLength(stream, size, text);
  entry->offset = static_cast<WORD>(at);
  entry->id = static_cast<WORD>(stream[at] | stream[at + 1] << 8);
  entry->flags = stream[at + 2];
  entry->level = stream[at + 3];
  entry->textOffset = static_cast<WORD>(text);
  entry->textLength = static_cast<WORD>(length);
  *offset = text + length + 1;
  return 1;
}
