#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/decompress.h"
#include "platform/dialogs.h"
#include "platform/memory.h"
#include "platform/testing.h"
#include "case_name.h"
#include "reference_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A back-reference token for a distance of 1 to 2047 and a length of 3 to 10.
Bytes Ref(unsigned distance, unsigned length) {
  unsigned w = distance << 3 | (length - 3);
  return {static_cast<uint8_t>(0x80 | w >> 8), static_cast<uint8_t>(w)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Str(const char* s) { return Bytes(s, s + std::strlen(s)); }

// Runs UnCompress on a heap copy of exactly the stream's size, so that a
// read past the C bytes is caught by the sanitizers.
struct Decoded {
  BYTE* out = nullptr;
  int error = 0;
  size_t messages = 0;
};

Decoded Decode(const Bytes& stream, unsigned expanded) {
  TestClearMessageBoxes();
  std::vector<uint8_t> exact(stream);
  Decoded r;
  r.error = -1;
  r.out = UnCompress(exact.empty() ? reinterpret_cast<const BYTE*>("") : exact.data(),
                     static_cast<unsigned>(exact.size()), expanded, &r.error);
  r.messages = TestMessageBoxes().size();
  return r;
}

struct GoodCase {
  const char* name;
  Bytes stream;
  unsigned expanded;
  Bytes want;
};

const GoodCase kGood[] = {
    {"literal bytes 0x00, 0x09 and 0x7f stand for themselves", {0x00, 0x09, 0x7F}, 3, {0x00, 0x09, 0x7F}},
    {"a literal run copies the next c bytes unchanged",
     {0x03, 0x80, 0xFF, 0x01, 'z'}, 4, {0x80, 0xFF, 0x01, 'z'}},
    {"a space pair is a space and the byte xor 0x80", {0xE1, 0xC0, 0xFF}, 6, Str(" a @ \x7f")},
    {"length bits 7 copy ten bytes", Cat({Str("ab"), Ref(2, 10)}), 12, Str("abababababab")},
    {"distance 1 repeats the previous byte", Cat({Str("x"), Ref(1, 3)}), 4, Str("xxxx")},
    {"an overlapping copy reads what it writes", Cat({Str("abc"), Ref(2, 7)}), 10, Str("abcbcbcbcb")},
    {"the farthest distance reaches the first byte",
     Cat({Bytes{'q'}, Bytes(2046, 'r'), Ref(2047, 3)}), 2050,
     Cat({Bytes{'q'}, Bytes(2046, 'r'), Str("qrr")})},
    {"a space pair with one byte of room gives only the space", {'q', 0xE1}, 2, Str("q ")},
    {"a literal run is cut where the output is full", {0x05, 'a', 'b', 'c', 'd', 'e'}, 3, Str("abc")},
    {"a back-reference is cut where the output is full", Cat({Str("ab"), Ref(2, 10)}), 5, Str("ababa")},
    {"input after the last byte is ignored", Str("abcdef"), 2, Str("ab")},
    {"a cut literal run may claim bytes the stream does not have", {'a', 0x08, 'b'}, 2, Str("ab")},
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.name; }

class GoodStreams : public ::testing::TestWithParam<GoodCase> {};

}  // namespace

TEST_P(GoodStreams, ExpandToExactlyDBytesAndAZero) {
  const GoodCase& c = GetParam();
  long live = TestLiveAllocations();
  Decoded r = Decode(c.stream, c.expanded);
  ASSERT_NE(r.out, nullptr) << "code " << r.error;
  EXPECT_EQ(r.error, -1) << "success writes no code";
  EXPECT_EQ(r.messages, 0u);
  EXPECT_EQ(LocalSize(r.out), c.expanded + 2u);
  EXPECT_EQ(Bytes(r.out, r.out + c.expanded), c.want);
  EXPECT_EQ(r.out[c.expanded], 0) << "byte D is zero";
  ReferenceResult ref = ReferenceDecode(c.stream.data(), c.stream.size(), c.expanded);
  EXPECT_TRUE(ref.ok);
  EXPECT_EQ(ref.out, c.want);
  LocalFree(r.out);
  EXPECT_EQ(TestLiveAllocations(), live);
}

INSTANTIATE_TEST_SUITE_P(Table, GoodStreams, ::testing::ValuesIn(kGood), ByCaseName());

namespace {

struct BadCase {
  std::string name;  // fault: what is wrong
  Bytes stream;
  unsigned expanded;
};

const BadCase kBad[] = {
    {"short: ends one byte short of D", Str("abc"), 4},
    {"short: ends on a space pair with two bytes missing", {0xE1}, 4},
    {"short: an empty stream", {}, 1},
    {"distance: zero", Cat({Str("a"), Ref(0, 3)}), 4},
    {"distance: zero as the first token", Ref(0, 5), 5},
    {"distance: reaching one byte before the output", Cat({Str("ab"), Ref(3, 3)}), 5},
    {"distance: reference before any output", Ref(1, 3), 3},
    {"distance: farthest distance with too little output", Cat({Bytes(100, 'x'), Ref(2047, 3)}), 103},
    {"past the stream: literal run longer than the rest of the stream", {0x05, 'a', 'b'}, 5},
    {"past the stream: literal run token as the last byte", {'a', 0x08}, 9},
    {"past the stream: back-reference without its second byte", {'a', 0x80}, 4},
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadStreams : public ::testing::TestWithParam<BadCase> {};

}  // namespace

TEST_P(BadStreams, FailWithCode5AndTheMessageAndLeakNothing) {
  const BadCase& c = GetParam();
  long live = TestLiveAllocations();
  Decoded r = Decode(c.stream, c.expanded);
  EXPECT_EQ(r.out, nullptr);
  EXPECT_EQ(r.error, STORE_BAD_STREAM);
  ASSERT_EQ(r.messages, 1u);
  const MessageBoxRecord& box = TestMessageBoxes()[0];
  EXPECT_EQ(box.text, u"UnCompress() buffer error!");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_FALSE(box.hasCaption);
  EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK));
  EXPECT_EQ(TestLiveAllocations(), live);
  EXPECT_FALSE(ReferenceDecode(c.stream.data(), c.stream.size(), c.expanded).ok);
}

INSTANTIATE_TEST_SUITE_P(Table, BadStreams, ::testing::ValuesIn(kBad), ByCaseName());

TEST(UnCompress, RefusesNoInputAndZeroLengthQuietly) {
  TestClearMessageBoxes();
  const BYTE stream[] = {'a'};
  struct {
    const BYTE* in;
    unsigned expanded;
  } cases[] = {{nullptr, 1}, {stream, 0}, {nullptr, 0}};
  for (const auto& c : cases) {
    int error = 0;
    EXPECT_EQ(UnCompress(c.in, 1, c.expanded, &error), nullptr);
    EXPECT_EQ(error, STORE_NO_INPUT);
  }
  EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST(UnCompress, AllocationFailureIsCode2WithoutAMessage) {
  TestClearMessageBoxes();
  const BYTE stream[] = {'a', 'b'};
  int error = 0;
  TestFailAllocationAt(1);
  EXPECT_EQ(UnCompress(stream, 2, 2, &error), nullptr);
  EXPECT_EQ(error, STORE_NO_MEMORY);
  EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST(UnCompress, WorksWithoutAnErrorPlace) {
  const BYTE good[] = {'a', 'b'};
  BYTE* out = UnCompress(good, 2, 2, nullptr);
  ASSERT_NE(out, nullptr);
  LocalFree(out);
  EXPECT_EQ(UnCompress(good, 2, 3, nullptr), nullptr);
  EXPECT_EQ(UnCompress(nullptr, 2, 3, nullptr), nullptr);
  TestClearMessageBoxes();
}

TEST(UnCompress, LargestLengthFillsAllOf65535Bytes) {
  // A byte and then the longest copies at distance 1: the 16-bit ceiling of D.
  Bytes stream = {'z'};
  size_t produced = 1;
  while (produced < 65535) {
    Bytes r = Ref(1, 10);
    stream.insert(stream.end(), r.begin(), r.end());
    produced += 10;
  }
  Decoded run = Decode(stream, 65535);
  ASSERT_NE(run.out, nullptr);
  EXPECT_EQ(run.out[65534], 'z');
  EXPECT_EQ(run.out[65535], 0);
  LocalFree(run.out);
}
