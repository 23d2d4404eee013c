#include "content/decompress.h"

#include <cstring>

#include "platform/dialogs.h"
#include "platform/memory.h"

namespace {

// Tokens in the fast loop may write up to this many bytes past their own
// end, and read up to this many bytes of input after their first byte.
constexpr size_t kOutSlack = 16;
constexpr size_t kInSlack = 10;

inline void Copy8(BYTE* to, const BYTE* from) {
  uint64_t v;
  std::memcpy(&v, from, 8);
  std::memcpy(to, &v, 8);
}

}  // namespace

// One pass straight into the final buffer, in two loops. While both ends
// are far away, the fast loop checks them once per token and copies in
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
      unsigned c = *in++;
      // Single bytes and space pairs, most of any text, take no branch of
      // their own: the pair's second byte is written either way.
      if (c - 1u >= 8u && c - 0x80u >= 0x40u) {
        unsigned pair = c >> 7;
        o[0] = static_cast<BYTE>(pair ? ' ' : c);
        o[1] = static_cast<BYTE>(c ^ 0x80);
        o += 1 + pair;
      } else if (c < 0x80) {  // literal run of 1 to 8 bytes
        Copy8(o, in);
        o += c;
        in += c;
      } else {
        unsigned w = c << 8 | *in++;
        size_t distance = (w >> 3) & 0x7FF;
        size_t length = (w & 7) + 3;
        if (distance == 0 || distance > static_cast<size_t>(o - out)) {
          broken = true;
          break;
        }
        const BYTE* from = o - distance;
        if (distance >= 8) {
          // The word is all behind o; the last two bytes lie at most one
          // byte into what the word has just written.
          Copy8(o, from);
          Copy8(o + 8, from + 8);
        } else {
          for (size_t i = 0; i < length; ++i) o[i] = from[i];
        }
        o += length;
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
