#include "tools/book/book_dump.h"

#include <cstdio>
#include <vector>

#include "content/article.h"
#include "index/entry_stream.h"
#include "tools/book/book_text.h"

namespace book {

namespace {

std::string TextAt(const std::vector<uint8_t>& data, unsigned offset, unsigned length) {
  return std::string(reinterpret_cast<const char*>(data.data()) + offset, length);
}

void DumpArticle(const std::vector<uint8_t>& data, std::string* out) {
  unsigned offset = 0;
  ParagraphRecord r;
  while (NextParagraph(data.data(), static_cast<unsigned>(data.size()), &offset, &r)) {
    std::string text = TextAt(data, r.textOffset, r.textLength);
    if (r.flags & kRtlFlag) text = DisplayOrder(text);
    char head[32];
    std::snprintf(head, sizeof head, "{flags=0x%02X param=0x%02X}", r.flags, r.parameter);
    *out += head;
    if (!text.empty()) *out += ' ' + BookCodeToUtf8(text);
    *out += '\n';
  }
}

void DumpIndex(const std::vector<uint8_t>& data, std::string* out) {
  unsigned offset = 0;
  IndexEntry e;
  while (NextIndexEntry(data.data(), static_cast<unsigned>(data.size()), &offset, &e)) {
    char head[48];
    std::snprintf(head, sizeof head, "id=0x%04X flags=0x%02X level=%u ", e.id, e.flags, e.level);
    *out += head + BookCodeToUtf8(DisplayOrder(TextAt(data, e.textOffset, e.textLength))) + '\n';
  }
}

}  // namespace

bool DumpItem(const CompiledItem& item, std::string* out) {
  std::vector<uint8_t> data;
  if (!ExpandContainer(item.container, &data)) return false;
  if (item.number == kIndexResource) {
    DumpIndex(data, out);
  } else {
    DumpArticle(data, out);
  }
  return true;
}

}  // namespace book
