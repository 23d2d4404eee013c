#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory.h"
#include "platform/testing.h"

TEST(Memory, BlocksKnowTheirSizeAndZeroWhenAsked) {
  long live = TestLiveAllocations();
  BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, 37));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LocalSize(block), 37u);
  for (int i = 0; i < 37; ++i) ASSERT_EQ(block[i], 0) << i;
  EXPECT_EQ(TestLiveAllocations(), live + 1);

  std::memset(block, 0xAB, 37);
  block = static_cast<BYTE*>(LocalReAlloc(block, 100, LMEM_ZEROINIT));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LocalSize(block), 100u);
  EXPECT_EQ(block[36], 0xAB) << "growing keeps the old bytes";
  EXPECT_EQ(block[37], 0) << "and zeroes the new ones";

  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(TestLiveAllocations(), live);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
  EXPECT_EQ(LocalSize(nullptr), 0u);
}

TEST(Memory, ForeignPointerIsRefusedNotFreed) {
  alignas(16) static BYTE notOurs[64] = {};
  EXPECT_EQ(LocalFree(notOurs + 16), notOurs + 16);
  EXPECT_EQ(LocalSize(notOurs + 16), 0u);
}

TEST(Memory, NthCallFailsOnceAndOnlyIt) {
  TestFailAllocationAt(3);
  void* a = LocalAlloc(LMEM_FIXED, 8);
  void* b = LocalAlloc(LMEM_FIXED, 8);
  void* c = LocalAlloc(LMEM_FIXED, 8);
  void* d = LocalAlloc(LMEM_FIXED, 8);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(c, nullptr);
  EXPECT_NE(d, nullptr);
  LocalFree(a);
  LocalFree(b);
  LocalFree(d);
}

TEST(Memory, FailedReAllocLeavesTheOldBlockIntact) {
  BYTE* block = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, 4));
  ASSERT_NE(block, nullptr);
  std::memcpy(block, "abc", 4);
  TestFailAllocationAt(1);
  EXPECT_EQ(LocalReAlloc(block, 4096, 0), nullptr);
  EXPECT_EQ(LocalSize(block), 4u);
  EXPECT_STREQ(reinterpret_cast<char*>(block), "abc");
  LocalFree(block);
}
