#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "content/stored.h"
#include "platform/memory.h"
#include "platform/options.h"
#include "platform/testing.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes* b, size_t at, unsigned v) {
  (*b)[at] = static_cast<uint8_t>(v >> 8);
  (*b)[at + 1] = static_cast<uint8_t>(v);
}

// A container as the book compiler writes it: L = C + 8, the two id words,
// C, D, the stream and four zero bytes.
Bytes Container(const Bytes& stream, unsigned expanded, unsigned tag = 21) {
  Bytes b(10 + stream.size() + 4, 0);
  Put16(&b, 0, static_cast<unsigned>(stream.size()) + 8);
  Put16(&b, 2, tag);
  Put16(&b, 4, tag);
  Put16(&b, 6, static_cast<unsigned>(stream.size()));
  Put16(&b, 8, expanded);
  std::copy(stream.begin(), stream.end(), b.begin() + 10);
  return b;
}

const Bytes kHello = {'h', 'e', 'l', 'l', 'o'};

class Fetch : public ::testing::Test {
 protected:
  void SetUp() override { TestClearMessageBoxes(); }
  void TearDown() override {
    PlatformUseEmbeddedResources();
    TestClearMessageBoxes();
  }
};

}  // namespace

TEST_F(Fetch, ContainerChecks) {
  Bytes shortL = Container(kHello, 5);
  Put16(&shortL, 0, 4);
  Bytes zeroC = Container(kHello, 5);
  Put16(&zeroC, 6, 0);
  Bytes cPastEnd = Container(kHello, 5);
  Put16(&cPastEnd, 6, 20);  // 10 + 20 > the 19 bytes there are
  Bytes zeroD = Container(kHello, 0);
  Bytes shortStream = Container(kHello, 6);
  Bytes lFive = Container(kHello, 5);
  Put16(&lFive, 0, 5);  // the smallest L accepted; L is not compared with C
  Bytes noTrailer = Container(kHello, 5);
  noTrailer.resize(15);  // exactly 10 + C: the trailing zeros are never read

  struct Case {
    const char* name;
    Bytes resource;
    int code;  // 0: the five bytes come back
  } cases[] = {
      {"good", Container(kHello, 5), 0},
      {"L of 5", lFive, 0},
      {"no trailing zeros", noTrailer, 0},
      {"empty resource", {}, STORE_NO_MEMORY},
      {"shorter than the header", Bytes{0, 13, 0, 21, 0, 21, 0, 5, 0}, STORE_BAD_HEADER},
      {"L below 5", shortL, STORE_BAD_HEADER},
      {"C zero", zeroC, STORE_BAD_HEADER},
      {"C past the resource's end", cPastEnd, STORE_BAD_HEADER},
      {"D zero", zeroD, STORE_NO_INPUT},
      {"stream short of D", shortStream, STORE_BAD_STREAM},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(TestUseResources({{10, 1001, c.resource}}));
    long live = TestLiveAllocations();
    int error = -1;
    BYTE* got = FetchStored(1, &error);
    if (c.code == 0) {
      ASSERT_NE(got, nullptr);
      EXPECT_EQ(error, -1);
      EXPECT_EQ(Bytes(got, got + 5), kHello);
      EXPECT_EQ(StoredLength(got), 5u);
      LocalFree(got);
    } else {
      EXPECT_EQ(got, nullptr);
      EXPECT_EQ(error, c.code);
    }
    EXPECT_EQ(TestLiveAllocations(), live);
    EXPECT_EQ(TestMessageBoxes().size(), c.code == STORE_BAD_STREAM ? 1u : 0u);
    TestClearMessageBoxes();
  }
}

TEST_F(Fetch, NumberMapsToResourceInSixteenBits) {
  ASSERT_TRUE(TestUseResources({{10, 1001, Container({'a'}, 1)},
                                {10, 32767, Container({'i'}, 1, 1)},
                                {10, 1000, Container({'z'}, 1)},
                                {10, 999, Container({'y'}, 1)},
                                {2, 1002, Container({'b'}, 1)}}));
  struct Case {
    int n;
    int want;  // the byte fetched, or the failure code
    bool found;
  } cases[] = {
      {1, 'a', true},
      {INDEX_NUMBER, 'i', true},
      {65537, 'a', true},  // (1000 + 65537) & 0xFFFF is 1001
      {2, STORE_NOT_FOUND, false},  // only a bitmap has that id
      {221, STORE_NOT_FOUND, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    int error = -1;
    BYTE* got = FetchStored(c.n, &error);
    if (c.found) {
      ASSERT_NE(got, nullptr);
      EXPECT_EQ(got[0], c.want);
      LocalFree(got);
    } else {
      EXPECT_EQ(got, nullptr);
      EXPECT_EQ(error, c.want);
    }
  }
}

TEST_F(Fetch, ZeroOrNegativeNumbersLookNothingUp) {
  // Resources 1000 and 999 exist, so a lookup for n = 0 or -1 would find them.
  ASSERT_TRUE(TestUseResources({{10, 1000, Container({'z'}, 1)}, {10, 999, Container({'y'}, 1)}}));
  for (int n : {0, -1, -1000}) {
    int error = -1;
    EXPECT_EQ(FetchStored(n, &error), nullptr) << n;
    EXPECT_EQ(error, -1) << "no code is written";
  }
  EXPECT_EQ(FetchStored(0, nullptr), nullptr);
}

TEST_F(Fetch, AllocationFailureIsCode2) {
  ASSERT_TRUE(TestUseResources({{10, 1001, Container(kHello, 5)}}));
  int error = 0;
  TestFailAllocationAt(1);
  EXPECT_EQ(FetchStored(1, &error), nullptr);
  EXPECT_EQ(error, STORE_NO_MEMORY);
  EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST_F(Fetch, EachCallGivesANewBuffer) {
  ASSERT_TRUE(TestUseResources({{10, 1001, Container(kHello, 5)}}));
  BYTE* a = FetchStored(1, nullptr);
  BYTE* b = FetchStored(1, nullptr);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  LocalFree(a);
  LocalFree(b);
}
