#include "tools/book/book_resources.h"

#include "content/decompress.h"
#include "platform/memory.h"
#include "tools/book/book_text.h"
#include "tools/book/compress.h"

namespace book {

namespace {

constexpr uint16_t kIndexTag1 = 1;
constexpr uint16_t kIndexTag2 = 255;
constexpr uint16_t kArticleTagBase = 20;
constexpr uint16_t kFirstGroupNumber = 0x3FFE;
constexpr uint16_t kGroupId = 0x8000;
constexpr uint16_t kArticleId = 0x4000;
constexpr uint8_t kGroupLevel = 1;
constexpr uint8_t kSideLevel = 2;
constexpr size_t kArticleEndZeros = 3;
constexpr size_t kIndexEndZeros = 5;

void PutBig16(std::vector<uint8_t>* out, size_t value) {
  out->push_back(static_cast<uint8_t>(value >> 8));
  out->push_back(static_cast<uint8_t>(value));
}

void PutText(std::vector<uint8_t>* out, const std::string& text) {
  out->insert(out->end(), text.begin(), text.end());
  out->push_back(0);
}

void PutEntry(std::vector<uint8_t>* out, uint16_t id, uint8_t flags, uint8_t level, const std::string& label) {
  out->push_back(static_cast<uint8_t>(id));
  out->push_back(static_cast<uint8_t>(id >> 8));
  out->push_back(flags);
  out->push_back(level);
  PutText(out, DisplayOrder(label));
}

unsigned GetBig16(const uint8_t* p) { return static_cast<unsigned>(p[0]) << 8 | p[1]; }

bool CompileItem(CompiledItem* item, uint16_t tag1, uint16_t tag2, std::vector<Diagnostic>* diagnostics) {
  item->stream = CompressPalmDoc(item->data.data(), item->data.size());
  if (item->stream.size() > kMaxCompressed) {
    std::string what = item->number == kIndexResource ? "the index" : "article " + std::to_string(item->number);
    diagnostics->push_back({item->line, 1, what + " compresses to " + std::to_string(item->stream.size()) +
                                               " bytes: a container holds at most " +
                                               std::to_string(kMaxCompressed)});
    return false;
  }
  item->container = WrapContainer(tag1, tag2, item->stream, item->data.size());
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeArticle(const SourceArticle& article) {
  std::vector<uint8_t> out;
  out.reserve(StoredArticleSize(article));
  for (const SourceRecord& r : article.records) {
    out.push_back(r.flags);
    out.push_back(r.parameter);
    PutText(&out, (r.flags & kRtlFlag) != 0 ? DisplayOrder(r.text) : r.text);
  }
  out.insert(out.end(), kArticleEndZeros, 0);
  return out;
}

std::vector<uint8_t> EncodeIndex(const BookSource& book) {
  std::vector<uint8_t> out;
  out.reserve(IndexStreamSize(book));
  size_t side = 0;
  for (size_t g = 0; g < book.groups.size(); ++g) {
    PutEntry(&out, static_cast<uint16_t>(kGroupId | ((kFirstGroupNumber - g) & 0x3FFF)), kGroupEntryFlags,
             kGroupLevel, book.groups[g].label);
    for (; side < book.sides.size() && book.sides[side].group <= static_cast<int>(g); ++side) {
      uint16_t id = static_cast<uint16_t>(kArticleId | (2 * side + 1));
      PutEntry(&out, id, kSideEntryFlags, kSideLevel, book.sides[side].label);
    }
  }
  out.insert(out.end(), kIndexEndZeros, 0);
  return out;
}

std::vector<uint8_t> WrapContainer(uint16_t tag1, uint16_t tag2, const std::vector<uint8_t>& stream,
                                   size_t expanded) {
  std::vector<uint8_t> out;
  out.reserve(kContainerHeader + stream.size() + kContainerTrailer);
  PutBig16(&out, stream.size() + 8);
  PutBig16(&out, tag1);
  PutBig16(&out, tag2);
  PutBig16(&out, stream.size());
  PutBig16(&out, expanded);
  out.insert(out.end(), stream.begin(), stream.end());
  out.insert(out.end(), kContainerTrailer, 0);
  return out;
}

bool ExpandContainer(const std::vector<uint8_t>& container, std::vector<uint8_t>* data) {
  if (container.size() < kContainerHeader) return false;
  unsigned compressed = GetBig16(container.data() + 6);
  unsigned expanded = GetBig16(container.data() + 8);
  if (compressed > container.size() - kContainerHeader) return false;
  int error = 0;
  BYTE* block = UnCompress(container.data() + kContainerHeader, compressed, expanded, &error);
  if (block == nullptr) return false;
  data->assign(block, block + expanded);
  LocalFree(block);
  return true;
}

bool CompileBook(const BookSource& source, CompiledBook* book, std::vector<Diagnostic>* diagnostics) {
  book->items.clear();
  if (source.sides.size() != static_cast<size_t>(kSideCount)) {
    diagnostics->push_back({1, 1, "the book has " + std::to_string(source.sides.size()) + " sides, not " +
                                      std::to_string(kSideCount)});
    return false;
  }
  bool ok = true;
  book->items.reserve(kArticleCount + 1);
  for (size_t k = 0; k < source.sides.size(); ++k) {
    for (const SourceArticle* article : {&source.sides[k].main, &source.sides[k].commentary}) {
      CompiledItem item;
      item.number = static_cast<int>(book->items.size()) + 1;
      item.resourceId = static_cast<uint16_t>(kArticleResourceBase + item.number);
      item.line = article->line;
      item.records = article->records.size();
      item.data = EncodeArticle(*article);
      uint16_t tag = static_cast<uint16_t>(item.number + kArticleTagBase);
      ok = CompileItem(&item, tag, tag, diagnostics) && ok;
      book->items.push_back(std::move(item));
    }
  }
  CompiledItem index;
  index.number = kIndexResource;
  index.resourceId = kIndexResource;
  index.line = source.groups.empty() ? 1 : source.groups.front().line;
  index.records = source.groups.size() + source.sides.size();
  index.data = EncodeIndex(source);
  ok = CompileItem(&index, kIndexTag1, kIndexTag2, diagnostics) && ok;
  book->items.push_back(std::move(index));
  return ok;
}

bool VerifyCompiledBook(const CompiledBook& book, std::string* error) {
  for (const CompiledItem& item : book.items) {
    std::vector<uint8_t> data;
    bool ok = ExpandContainer(item.container, &data) && data == item.data;
    // The stream must also end there: asked for one byte more, it runs dry.
    int code = 0;
    BYTE* more = UnCompress(item.stream.data(), static_cast<unsigned>(item.stream.size()),
                            static_cast<unsigned>(item.data.size() + 1), &code);
    if (more != nullptr) {
      LocalFree(more);
      ok = false;
    }
    if (!ok) {
      *error = "resource " + std::to_string(item.resourceId) + " does not expand to exactly its own data";
      return false;
    }
  }
  return true;
}

const CompiledItem* FindItem(const CompiledBook& book, int number) {
  for (const CompiledItem& item : book.items) {
    if (item.number == number) return &item;
  }
  return nullptr;
}

std::vector<PackResource> BookResources(const CompiledBook& book) {
  std::vector<PackResource> resources;
  resources.reserve(book.items.size());
  for (const CompiledItem& item : book.items) resources.push_back({kRawDataType, item.resourceId, item.container});
  return resources;
}

}  // namespace book
