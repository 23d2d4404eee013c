#include "content/article.h"

#include <cstring>

unsigned BoundedTextLength(const BYTE* data, unsigned size, unsigned from) {
  if (from >= size) return 0;
  const void* zero = std::memchr(data + from, 0, size - from);
  return zero ? static_cast<unsigned>(static_cast<const BYTE*>(zero) - (data + from)) : size - from;
}

int NextParagraph(const BYTE* article, unsigned size, unsigned* offset, ParagraphRecord* record) {
  unsigned at = *offset;
  if (article == nullptr || size > 0xFFFF || at >= size || size - at < 2 || article[at] == 0)
    return 0;
  unsigned text = at + 2;
  unsigned length = BoundedTextLength(article, size, text);
  record->offset = static_cast<WORD>(at);
  record->flags = article[at];
  record->parameter = article[at + 1];
  record->textOffset = static_cast<WORD>(text);
  record->textLength = static_cast<WORD>(length);
  *offset = text + length + 1;
  return 1;
}
