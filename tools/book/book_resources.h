// The stored book: the 220 articles and the index, each compressed into
// its container, as the reader fetches them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/resource_pack.h"
#include "tools/book/book_source.h"

namespace book {

constexpr int kArticleCount = 2 * kSideCount;
constexpr uint16_t kRawDataType = 10;
constexpr uint16_t kArticleResourceBase = 1000;  // article n is resource 1000 + n
constexpr uint16_t kIndexResource = 32767;
constexpr size_t kContainerHeader = 10;
constexpr size_t kContainerTrailer = 4;
constexpr size_t kMaxCompressed = 65535 - 8;  // L = C + 8 is a 16-bit field

// The uncompressed bytes, right-to-left texts in display order.
std::vector<uint8_t> EncodeArticle(const SourceArticle& article);
std::vector<uint8_t> EncodeIndex(const BookSource& book);

// Header (L, two tag words, C, D; big-endian), stream, four zero bytes.
std::vector<uint8_t> WrapContainer(uint16_t tag1, uint16_t tag2, const std::vector<uint8_t>& stream,
                                   size_t expanded);

// Expands a container's stream with the reader's own decoder. False when
// the header or the stream is bad.
bool ExpandContainer(const std::vector<uint8_t>& container, std::vector<uint8_t>* data);

struct CompiledItem {
  int number = 0;  // ArticleNumber, or kIndexResource for the index
  uint16_t resourceId = 0;
  int line = 0;  // where it starts in the source
  size_t records = 0;
  std::vector<uint8_t> data;    // D bytes
  std::vector<uint8_t> stream;  // C bytes
  std::vector<uint8_t> container;
};

// Articles 1 to 220 in order, then the index.
struct CompiledBook {
  std::vector<CompiledItem> items;
};

// Encodes and compresses a book that ParseBookSource accepted. Fails, with
// diagnostics, only when a stream does not fit its container.
bool CompileBook(const BookSource& source, CompiledBook* book, std::vector<Diagnostic>* diagnostics);

// Expands every container and compares it with the data it was made from.
bool VerifyCompiledBook(const CompiledBook& book, std::string* error);

// The item of article n (1 to 220) or of the index (kIndexResource), or null.
const CompiledItem* FindItem(const CompiledBook& book, int number);

std::vector<PackResource> BookResources(const CompiledBook& book);

}  // namespace book
