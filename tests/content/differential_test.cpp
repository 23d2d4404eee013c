// UnCompress against the plain reference decoder, on the book's own streams
// and on many damaged copies of them: both must agree on success, and on
// the bytes whenever they succeed.
#include <gtest/gtest.h>

#include <vector>

#include "content/decompress.h"
#include "content/stored.h"
#include "platform/memory.h"
#include "platform/resource.h"
#include "platform/testing.h"
#include "reference_decoder.h"

namespace {

struct Stream {
  std::vector<uint8_t> bytes;
  unsigned expanded;
};

std::vector<Stream> BookStreams() {
  std::vector<Stream> streams;
  for (int id = 1000 + FIRST_ARTICLE; id <= 1000 + LAST_ARTICLE + 1; ++id) {
    int rid = id == 1000 + LAST_ARTICLE + 1 ? 32767 : id;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(rid), RT_RCDATA);
    if (found == nullptr) continue;
    const uint8_t* r = static_cast<const uint8_t*>(LoadResource(nullptr, found));
    DWORD size = SizeofResource(nullptr, found);
    if (size < CONTAINER_HEADER) continue;
    unsigned c = r[6] << 8 | r[7], d = r[8] << 8 | r[9];
    if (CONTAINER_HEADER + c > size) continue;
    streams.push_back({std::vector<uint8_t>(r + CONTAINER_HEADER, r + CONTAINER_HEADER + c), d});
  }
  return streams;
}

// splitmix64: a fixed sequence, so a failure repeats.
struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
};

void Mutate(Random* rnd, Stream* s) {
  std::vector<uint8_t>& b = s->bytes;
  switch (rnd->Below(6)) {
    case 0:  // flip one byte
      if (!b.empty()) b[rnd->Below(b.size())] = static_cast<uint8_t>(rnd->Next());
      break;
    case 1:  // cut the stream short
      b.resize(rnd->Below(b.size() + 1));
      break;
    case 2:  // drop one byte
      if (!b.empty()) b.erase(b.begin() + static_cast<long>(rnd->Below(b.size())));
      break;
    case 3:  // insert a back-reference token byte
      b.insert(b.begin() + static_cast<long>(rnd->Below(b.size() + 1)),
               static_cast<uint8_t>(0x80 | rnd->Below(0x40)));
      break;
    case 4:  // ask for a different length
      s->expanded = static_cast<unsigned>(1 + rnd->Below(s->expanded + 16));
      break;
    default:  // several byte flips near one place
      for (int i = 0; i < 4 && !b.empty(); ++i) b[rnd->Below(b.size())] ^= 0x80;
      break;
  }
}

void ExpectSameAsReference(const Stream& s) {
  int error = 0;
  BYTE* got = UnCompress(s.bytes.empty() ? reinterpret_cast<const BYTE*>("") : s.bytes.data(),
                         static_cast<unsigned>(s.bytes.size()), s.expanded, &error);
  ReferenceResult want = ReferenceDecode(s.bytes.data(), s.bytes.size(), s.expanded);
  ASSERT_EQ(got != nullptr, want.ok);
  if (got != nullptr) {
    ASSERT_EQ(std::vector<uint8_t>(got, got + s.expanded), want.out);
    ASSERT_EQ(got[s.expanded], 0);
    LocalFree(got);
  } else {
    ASSERT_EQ(error, STORE_BAD_STREAM);
  }
}

}  // namespace

TEST(UnCompressDifferential, AgreesWithTheReferenceOnDamagedBookStreams) {
  std::vector<Stream> streams = BookStreams();
  ASSERT_EQ(streams.size(), 221u) << "the build embeds a whole book";
  Random rnd{20261211};
  long live = TestLiveAllocations();
  for (const Stream& original : streams) {
    ExpectSameAsReference(original);
    for (int round = 0; round < 40; ++round) {
      Stream s = original;
      int mutations = 1 + static_cast<int>(rnd.Below(3));
      for (int m = 0; m < mutations; ++m) Mutate(&rnd, &s);
      SCOPED_TRACE(round);
      ExpectSameAsReference(s);
      if (HasFatalFailure()) return;
    }
    TestClearMessageBoxes();
  }
  EXPECT_EQ(TestLiveAllocations(), live);
}

TEST(UnCompressDifferential, AgreesWithTheReferenceOnRandomBytes) {
  Random rnd{7};
  for (int round = 0; round < 20000; ++round) {
    Stream s;
    s.bytes.resize(rnd.Below(40));
    for (uint8_t& b : s.bytes) b = static_cast<uint8_t>(rnd.Next());
    s.expanded = static_cast<unsigned>(1 + rnd.Below(80));
    SCOPED_TRACE(round);
    ExpectSameAsReference(s);
    if (HasFatalFailure()) return;
    if (round % 1000 == 0) TestClearMessageBoxes();
  }
  TestClearMessageBoxes();
}
