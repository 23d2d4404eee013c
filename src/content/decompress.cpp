#include "content/decompress.h"

#include <bit>
#include <cstring>

#include "platform/dialogs.h"
#include "platform/memory.h"

namespace {

// One step of the fast loop (up to eight plain bytes, then one token) reads
// less than this much input and writes less than this much output, spill
// included.
constexpr size_t kOutSlack = 32;
constexpr size_t kInSlack = 20;
constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kNines = 0x0909090909090909ull;
// The plain-byte scan reads the first byte of the stream as the lowest of a word.
static_assert(std::endian::native == std::endian::little);

inline void Copy8(BYTE* to, const BYTE* from) {
  uint64_t v;
  std::memcpy(&v, from, 8);
  std::memcpy(to, &v, 8);
}

}  // namespace

// One pass straight into the final buffer, in two loops. While both ends
// are far away, the fast loop checks them once per step and copies in
// fixed-size words, spilling harmlessly into output bytes that later tokens
// write. Near the ends, the careful loop checks every token against the
// exact input it needs and the exact room it may use.
BYTE* UnCompress(const BYTE* stream, unsigned size, unsigned expanded, int* error) {
  if (stream == nullptr || expanded == 0) {
    if (error) *error = STORE_NO_INPUT;
    return nullptr;
  }
  BYTE* out = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, static_cast<size_t>(expanded) + 2));
  if (out == nullptr) {
    if (error) *error = STORE_NO_MEMORY;
    return nullptr;
  }

  const BYTE* in = stream;
  const BYTE* const inEnd = stream + size;
  BYTE* o = out;
  BYTE* const outEnd = out + expanded;
  bool broken = false;

  if (size > kInSlack && expanded > kOutSlack) {
    const BYTE* const inFast = inEnd - kInSlack;
    BYTE* const outFast = outEnd - kOutSlack;
    while (in < inFast && o < outFast) {
      // Most tokens of a text are single bytes standing for themselves:
      // take up to eight of them at once, up to the first byte that is
      // anything else (a zero, a run length, a reference or a space pair).
      uint64_t word;
      std::memcpy(&word, in, 8);
      uint64_t special = (word & kHighBits) | ((word - kNines) & ~word & kHighBits);
      size_t plain = special ? static_cast<size_t>(__builtin_ctzll(special)) >> 3 : 8;
      std::memcpy(o, &word, 8);
      o += plain;
      in += plain;
      if (plain == 8) continue;

      unsigned c = *in++;
      if (c >= 0xC0) {
        o[0] = ' ';
        o[1] = static_cast<BYTE>(c ^ 0x80);
        o += 2;
      } else if (c >= 0x80) {
        unsigned w = c << 8 | *in++;
        size_t distance = (w >> 3) & 0x7FF;
        size_t length = (w & 7) + 3;
        if (distance == 0 || distance > static_cast<size_t>(o - out)) {
          broken = true;
          break;
        }
        const BYTE* from = o - distance;
        if (distance >= 8) {
          // The first word is all behind o; the second starts at most at o,
          // in what the first has just written.
          Copy8(o, from);
          Copy8(o + 8, from + 8);
        } else {
          for (size_t i = 0; i < length; ++i) o[i] = from[i];
        }
        o += length;
      } else if (c != 0) {  // literal run of 1 to 8 bytes
        Copy8(o, in);
        o += c;
        in += c;
      } else {
        *o++ = 0;
      }
    }
  }

  while (!broken && o < outEnd && in < inEnd) {
    unsigned c = *in++;
    if (c >= 0xC0) {
      *o++ = ' ';
      if (o < outEnd) *o++ = static_cast<BYTE>(c ^ 0x80);
    } else if (c >= 0x80) {
      if (in == inEnd) break;
      unsigned w = c << 8 | *in++;
      size_t distance = (w >> 3) & 0x7FF;
      size_t length = (w & 7) + 3;
      if (distance == 0 || distance > static_cast<size_t>(o - out)) break;
      size_t room = static_cast<size_t>(outEnd - o);
      if (length > room) length = room;
      const BYTE* from = o - distance;
      // Forward, byte by byte: an overlapping copy repeats what it has just
      // written, as the format requires.
      for (size_t i = 0; i < length; ++i) o[i] = from[i];
      o += length;
    } else if (c >= 1 && c <= 8) {
      size_t take = c;
      size_t room = static_cast<size_t>(outEnd - o);
      if (take > room) take = room;
      if (take > static_cast<size_t>(inEnd - in)) break;
      std::memcpy(o, in, take);
      o += take;
      in += take;  // a shortened run has filled the output: the loop ends
    } else {
      *o++ = static_cast<BYTE>(c);
    }
  }

  if (o != outEnd) {
    LocalFree(out);
    MessageBoxW(nullptr, u"UnCompress() buffer error!", nullptr, MB_OK);
    if (error) *error = STORE_BAD_STREAM;
    return nullptr;
  }
  *outEnd = 0;
  return out;
}
