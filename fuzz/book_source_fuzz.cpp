// The book compiler's parser on any text: it reports or accepts, never
// crashes, and every diagnostic points inside the text.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "tools/book/book_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  book::BookSource source;
  std::vector<book::Diagnostic> diagnostics;
  bool ok = book::ParseBookSource(text, &source, &diagnostics);
  if (ok != diagnostics.empty()) std::abort();
  if (diagnostics.size() > book::kMaxDiagnostics + 1) std::abort();
  for (const book::Diagnostic& d : diagnostics) {
    if (d.line < 1 || d.column < 1 || d.message.empty()) std::abort();
  }
  return 0;
}
