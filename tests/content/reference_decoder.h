// A plain decoder of PalmDoc LZ77 streams, written for clarity and not for
// speed: the yardstick that UnCompress is compared against. Besides the
// bytes it reports how much of the stream it consumed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ReferenceResult {
  bool ok = false;          // exactly `expanded` bytes were produced
  std::vector<uint8_t> out;
  size_t consumed = 0;      // stream bytes used up to the last byte produced
};

inline ReferenceResult ReferenceDecode(const uint8_t* in, size_t size, size_t expanded) {
  ReferenceResult r;
  size_t i = 0;
  auto room = [&] { return r.out.size() < expanded; };
  while (room() && i < size) {
    uint8_t c = in[i++];
    if (c >= 0xC0) {
      r.out.push_back(' ');
      if (room()) r.out.push_back(static_cast<uint8_t>(c ^ 0x80));
    } else if (c >= 0x80) {
      if (i >= size) return r;  // the pair's second byte is missing
      unsigned w = static_cast<unsigned>(c) << 8 | in[i++];
      size_t distance = (w >> 3) & 0x7FF, length = (w & 7) + 3;
      if (distance == 0 || distance > r.out.size()) return r;
      for (size_t k = 0; k < length && room(); ++k) r.out.push_back(r.out[r.out.size() - distance]);
    } else if (c >= 1 && c <= 8) {
      for (unsigned k = 0; k < c && room(); ++k) {
        if (i >= size) return r;  // the run reaches past the stream
        r.out.push_back(in[i++]);
      }
    } else {
      r.out.push_back(c);
    }
  }
  r.consumed = i;
  r.ok = r.out.size() == expanded;
  return r;
}
