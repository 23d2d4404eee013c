// UnCompress over every stream of the built-in book, beside libmobi's
// PalmDoc decoder on the same streams.
#include <benchmark/benchmark.h>

#include <vector>

#include "content/decompress.h"
#include "content/stored.h"
#include "platform/memory.h"
#include "platform/resource.h"
#include "platform/testing.h"

// Exported by Debian's libmobi.a only; declared here as it is defined there.
extern "C" int mobi_decompress_lz77(unsigned char* out, const unsigned char* in, size_t* len_out,
                                    const size_t len_in);

namespace {

struct Stream {
  const uint8_t* bytes;
  unsigned compressed, expanded;
};

const std::vector<Stream>& BookStreams() {
  static std::vector<Stream> streams = [] {
    std::vector<Stream> s;
    for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE + 1; ++n) {
      int id = n > LAST_ARTICLE ? 32767 : 1000 + n;
      HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
      if (found == nullptr) continue;
      const uint8_t* r = static_cast<const uint8_t*>(LoadResource(nullptr, found));
      s.push_back({r + CONTAINER_HEADER, static_cast<unsigned>(r[6] << 8 | r[7]),
                   static_cast<unsigned>(r[8] << 8 | r[9])});
    }
    return s;
  }();
  return streams;
}

int64_t ExpandedBytes() {
  int64_t total = 0;
  for (const Stream& s : BookStreams()) total += s.expanded;
  return total;
}

void BM_Book_UnCompress(benchmark::State& state) {
  const auto& streams = BookStreams();
  for (auto _ : state) {
    for (const Stream& s : streams) {
      BYTE* out = UnCompress(s.bytes, s.compressed, s.expanded, nullptr);
      benchmark::DoNotOptimize(out);
      LocalFree(out);
    }
  }
  state.SetBytesProcessed(state.iterations() * ExpandedBytes());
}

// The peer gets the same work: a fresh buffer of D + 2 bytes per stream.
void BM_Book_Libmobi(benchmark::State& state) {
  const auto& streams = BookStreams();
  for (auto _ : state) {
    for (const Stream& s : streams) {
      BYTE* out = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, s.expanded + 2));
      size_t produced = s.expanded;
      int status = mobi_decompress_lz77(out, s.bytes, &produced, s.compressed);
      if (status != 0 || produced != s.expanded) state.SkipWithError("libmobi could not decode a stream");
      out[s.expanded] = 0;
      benchmark::DoNotOptimize(out);
      LocalFree(out);
    }
  }
  state.SetBytesProcessed(state.iterations() * ExpandedBytes());
}

}  // namespace

BENCHMARK(BM_Book_UnCompress);
BENCHMARK(BM_Book_Libmobi);
