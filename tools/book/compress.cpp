#include "tools/book/compress.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kMaxDistance = 2047;
constexpr size_t kMinCopy = 3;
constexpr size_t kMaxCopy = 10;
constexpr size_t kMaxRun = 8;
constexpr unsigned kMaxHashBits = 15;

enum TokenKind : uint8_t { kCopy, kSpacePair, kLiteral, kRun };

struct Match {
  uint8_t length = 0;  // 0 when there is no match of kMinCopy bytes
  uint16_t distance = 0;
};

// The cheapest encoding of the data from one position to the end.
struct Step {
  uint32_t bytes = std::numeric_limits<uint32_t>::max();
  uint32_t tokens = 0;
  TokenKind kind = kLiteral;
  uint8_t length = 0;
};

bool IsSingleLiteral(uint8_t c) { return c == 0 || (c >= 0x09 && c <= 0x7F); }

bool StartsSpacePair(const uint8_t* data, size_t size, size_t i) {
  return i + 1 < size && data[i] == 0x20 && data[i + 1] >= 0x40 && data[i + 1] <= 0x7F;
}

uint32_t Hash(const uint8_t* p, unsigned bits) {
  uint32_t key = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
  return (key * 2654435761u) >> (32 - bits);
}

// The longest match at every position, nearest first among equals. Every
// earlier position in the window with the same 3-byte hash is tried, so the
// longest match is exact, not a heuristic one.
std::vector<Match> FindMatches(const uint8_t* data, size_t size) {
  std::vector<Match> matches(size);
  if (size < kMinCopy) return matches;
  // A table no larger than the input keeps many small calls cheap.
  unsigned bits = 4;
  while (bits < kMaxHashBits && (size_t{1} << bits) < size) ++bits;
  std::vector<int32_t> head(size_t{1} << bits, -1);
  std::vector<int32_t> previous(size, -1);
  for (size_t i = 0; i + kMinCopy <= size; ++i) {
    uint32_t h = Hash(data + i, bits);
    size_t limit = std::min(kMaxCopy, size - i);
    Match best;
    for (int32_t p = head[h]; p >= 0 && i - static_cast<size_t>(p) <= kMaxDistance; p = previous[p]) {
      const uint8_t* from = data + p;
      size_t n = 0;
      while (n < limit && from[n] == data[i + n]) ++n;
      if (n >= kMinCopy && n > best.length) {
        best.length = static_cast<uint8_t>(n);
        best.distance = static_cast<uint16_t>(i - static_cast<size_t>(p));
        if (n == limit) break;
      }
    }
    matches[i] = best;
    previous[i] = head[h];
    head[h] = static_cast<int32_t>(i);
  }
  return matches;
}

void Consider(Step* best, const Step& next, TokenKind kind, size_t length, uint32_t cost) {
  uint32_t bytes = next.bytes + cost;
  uint32_t tokens = next.tokens + 1;
  if (bytes < best->bytes || (bytes == best->bytes && tokens < best->tokens)) {
    *best = Step{bytes, tokens, kind, static_cast<uint8_t>(length)};
  }
}

}  // namespace

std::vector<uint8_t> CompressPalmDoc(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  if (size == 0) return out;
  std::vector<Match> matches = FindMatches(data, size);

  // Backward over the positions: steps[i] is the optimum for data[i..size).
  // Options are tried in one fixed order and only a strictly better one
  // replaces the current choice, which makes ties deterministic.
  std::vector<Step> steps(size + 1);
  steps[size] = Step{0, 0, kLiteral, 0};
  for (size_t i = size; i-- > 0;) {
    Step best;
    for (size_t n = matches[i].length; n >= kMinCopy; --n) Consider(&best, steps[i + n], kCopy, n, 2);
    if (StartsSpacePair(data, size, i)) Consider(&best, steps[i + 2], kSpacePair, 2, 1);
    if (IsSingleLiteral(data[i])) Consider(&best, steps[i + 1], kLiteral, 1, 1);
    for (size_t n = 1; n <= kMaxRun && i + n <= size; ++n) {
      Consider(&best, steps[i + n], kRun, n, static_cast<uint32_t>(n + 1));
    }
    steps[i] = best;
  }

  out.reserve(steps[0].bytes);
  for (size_t i = 0; i < size;) {
    const Step& s = steps[i];
    switch (s.kind) {
      case kCopy: {
        unsigned distance = matches[i].distance;
        out.push_back(static_cast<uint8_t>(0x80 | distance >> 5));
        out.push_back(static_cast<uint8_t>((distance & 0x1F) << 3 | (s.length - kMinCopy)));
        break;
      }
      case kSpacePair:
        out.push_back(static_cast<uint8_t>(data[i + 1] | 0x80));
        break;
      case kLiteral:
        out.push_back(data[i]);
        break;
      case kRun:
        out.push_back(s.length);
        out.insert(out.end(), data + i, data + i + s.length);
        break;
    }
    i += s.length;
  }
  return out;
}
