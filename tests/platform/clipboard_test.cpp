#include <gtest/gtest.h>

#include <cstring>

#include "platform/clipboard.h"
#include "platform/memory.h"
#include "platform/testing.h"

namespace {

HLOCAL Block(const void* bytes, size_t size) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE, size);
  std::memcpy(block, bytes, size);
  return block;
}

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override { TestResetClipboard(); }
  void TearDown() override { TestResetClipboard(); }
};

}  // namespace

TEST_F(Clipboard, OneOwnerAtATime) {
  HWND a = reinterpret_cast<HWND>(0x10), b = reinterpret_cast<HWND>(0x20);
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_FALSE(OpenClipboard(b)) << "held open by another owner";
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_TRUE(OpenClipboard(b));
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, TakesOwnershipAndFreesOnEmpty) {
  long live = TestLiveAllocations();
  const char16_t text[] = u"\u05d0b";
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  HLOCAL first = Block(text, sizeof text);
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, first), first);
  HLOCAL second = Block(text, sizeof text);
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, second), second) << "the old block of that format is freed";
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), second);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(TestClipboardBytes(CF_UNICODETEXT).size(), sizeof text);
  EXPECT_EQ(TestLiveAllocations(), live + 1);

  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "reading needs the clipboard open";
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(TestLiveAllocations(), live);
}

TEST_F(Clipboard, ChangesNeedTheClipboardOpen) {
  HLOCAL block = Block("x", 2);
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
  LocalFree(block);
}

TEST_F(Clipboard, RegisteredFormatsKeepTheirNumber) {
  UINT rtf = RegisterClipboardFormatW(u"Rich Text Format");
  EXPECT_GE(rtf, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatW(u"Rich Text Format"), rtf);
  UINT other = RegisterClipboardFormatW(u"Other");
  EXPECT_NE(other, rtf);
  EXPECT_GE(other, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatW(u""), 0u);
  EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);
}
