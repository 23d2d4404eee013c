// UnCompress on any stream and any length, checked against the plain
// reference decoder. Input: two bytes of D (big-endian), then the stream.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/content/reference_decoder.h"
#include "content/decompress.h"
#include "platform/memory.h"
#include "platform/testing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  unsigned expanded = static_cast<unsigned>(data[0] << 8 | data[1]);
  // A copy of exactly the stream's size: a read past it is a finding.
  std::vector<uint8_t> stream(data + 2, data + size);
  const BYTE* in = stream.empty() ? reinterpret_cast<const BYTE*>("") : stream.data();
  int error = 0;
  BYTE* out = UnCompress(in, static_cast<unsigned>(stream.size()), expanded, &error);
  TestClearMessageBoxes();
  if (expanded == 0) {
    if (out != nullptr || error != STORE_NO_INPUT) std::abort();
    return 0;
  }
  ReferenceResult want = ReferenceDecode(stream.data(), stream.size(), expanded);
  if ((out != nullptr) != want.ok) std::abort();
  if (out != nullptr) {
    if (std::memcmp(out, want.out.data(), expanded) != 0 || out[expanded] != 0) std::abort();
    LocalFree(out);
  } else if (error != STORE_BAD_STREAM) {
    std::abort();
  }
  return 0;
}
