// Our optimal PalmDoc compressor beside a plain greedy one (written here as
// the baseline) on the default book and on each book in ../shared/books:
// total compressed size, per-article comparison, and compression time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/book/book_resources.h"
#include "tools/book/book_source.h"
#include "tools/book/compress.h"

namespace {

// Greedy: the longest match if there is one of 3 bytes or more, else a
// space pair, else a single literal, else a run of bytes that need one.
std::vector<uint8_t> CompressGreedy(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  size_t i = 0;
  auto literal = [](uint8_t b) { return b == 0 || (b >= 0x09 && b <= 0x7F); };
  while (i < size) {
    size_t bestLength = 0, bestDistance = 0;
    size_t farthest = i < 2047 ? i : 2047;
    for (size_t d = 1; d <= farthest; ++d) {
      size_t n = 0;
      while (n < 10 && i + n < size && data[i + n] == data[i + n - d]) ++n;
      if (n > bestLength) bestLength = n, bestDistance = d;
      if (n == 10) break;
    }
    if (bestLength >= 3) {
      unsigned w = static_cast<unsigned>(bestDistance << 3 | (bestLength - 3));
      out.push_back(static_cast<uint8_t>(0x80 | w >> 8));
      out.push_back(static_cast<uint8_t>(w));
      i += bestLength;
    } else if (data[i] == ' ' && i + 1 < size && data[i + 1] >= 0x40 && data[i + 1] <= 0x7F) {
      out.push_back(static_cast<uint8_t>(data[i + 1] ^ 0x80));
      i += 2;
    } else if (literal(data[i])) {
      out.push_back(data[i++]);
    } else {
      size_t n = 0;
      while (n < 8 && i + n < size && !literal(data[i + n])) ++n;
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), data + i, data + i + n);
      i += n;
    }
  }
  return out;
}

struct NamedBook {
  std::string name;
  book::CompiledBook compiled;
};

bool LoadBook(const std::string& path, NamedBook* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  book::BookSource source;
  std::vector<book::Diagnostic> diagnostics;
  if (!book::ParseBookSource(text.str(), &source, &diagnostics)) return false;
  out->name = std::filesystem::path(path).filename().string();
  return book::CompileBook(source, &out->compiled, &diagnostics);
}

const std::vector<NamedBook>& Books() {
  static std::vector<NamedBook> books = [] {
    std::vector<NamedBook> all;
    std::vector<std::string> paths = {LUMORA_DEFAULT_BOOK_SOURCE};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(LUMORA_SHARED_BOOKS, ec)) {
      if (entry.path().extension() == ".book") paths.push_back(entry.path().string());
    }
    for (const std::string& path : paths) {
      NamedBook b;
      if (LoadBook(path, &b)) all.push_back(std::move(b));
      else std::fprintf(stderr, "compress_bench: cannot compile %s\n", path.c_str());
    }
    return all;
  }();
  return books;
}

void BM_Compress_Optimal(benchmark::State& state) {
  const auto& items = Books().front().compiled.items;
  for (auto _ : state) {
    for (const auto& item : items) benchmark::DoNotOptimize(CompressPalmDoc(item.data.data(), item.data.size()));
  }
}

void BM_Compress_Greedy(benchmark::State& state) {
  const auto& items = Books().front().compiled.items;
  for (auto _ : state) {
    for (const auto& item : items) benchmark::DoNotOptimize(CompressGreedy(item.data.data(), item.data.size()));
  }
}

}  // namespace

BENCHMARK(BM_Compress_Optimal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress_Greedy)->Unit(benchmark::kMillisecond);

// Sizes are exact, not timed: printed once, beside the greedy baseline.
bool ReportCompressionSizes() {
  bool met = true;
  std::printf("%-34s %10s %10s %10s %8s %s\n", "compressed size", "D total", "greedy", "ours", "smaller",
              "articles larger than greedy");
  for (const NamedBook& b : Books()) {
    size_t expanded = 0, greedy = 0, ours = 0;
    int larger = 0;
    for (const auto& item : b.compiled.items) {
      size_t g = CompressGreedy(item.data.data(), item.data.size()).size();
      size_t o = CompressPalmDoc(item.data.data(), item.data.size()).size();
      expanded += item.data.size();
      greedy += g;
      ours += o;
      larger += o > g;
    }
    double smaller = 100.0 * (1.0 - static_cast<double>(ours) / static_cast<double>(greedy));
    bool ok = smaller >= 1.5 && larger == 0;
    met = met && ok;
    std::printf("%-34s %10zu %10zu %10zu %7.2f%% %d (target: 1.5%% smaller, none larger: %s)\n", b.name.c_str(),
                expanded, greedy, ours, smaller, larger, ok ? "met" : "MISSED");
  }
  return met;
}
