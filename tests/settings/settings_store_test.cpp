#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/memory.h"
#include "platform/testing.h"
#include "registry_fixture.h"
#include "settings/checked_alloc.h"
#include "settings/program_state.h"
#include "settings/settings_store.h"

namespace {

using SettingsStore = MemoryRegistry;
using Bytes = std::vector<uint8_t>;

}  // namespace

TEST_F(SettingsStore, ReadNumberTakesWordsAndDigitText) {
  struct Row {
    const char* name;
    DWORD type;
    Bytes data;
    LONG want;
  } rows[] = {
      {"a word", REG_DWORD, {37, 0, 0, 0}, 37},
      {"the text 37", REG_SZ, Text(u"37"), 37},
      {"the text 1a", REG_SZ, Text(u"1a"), 59},
      {"digits without their 0 unit", REG_SZ, Text(u"42", false), 42},
      {"an odd byte after the digits", REG_SZ, {'4', 0, '2', 0, '7'}, 42},
      {"an empty text", REG_SZ, Text(u""), 0},
      {"binary digits", REG_BINARY, {'9', 0, 0, 0}, 9},
      {"a word too long to read", REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}, -7},
      {"wrapping arithmetic", REG_SZ, Text(u"4294967297"), 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Put(SWITCHES_KEY, u"Value", r.type, r.data);
    EXPECT_EQ(ReadNumber(SWITCHES_KEY, u"Value", -7), r.want);
  }
  EXPECT_EQ(ReadNumber(SWITCHES_KEY, u"Missing", 1), 1);
  EXPECT_EQ(ReadNumber(u"software\\Nobody", u"Value", 12), 12);
  EXPECT_EQ(ReadSettingNumber(u"Lesson", 0), 0);
}

TEST_F(SettingsStore, WritesStoreTheTypesAndSizesTheReaderExpects) {
  EXPECT_TRUE(WriteSettingNumber(u"Flags", static_cast<LONG>(0xD1140040)));
  EXPECT_TRUE(WriteSettingText(u"FontName", u"David CLM"));
  EXPECT_TRUE(WriteSettingText8(u"SearchString", "abc"));
  const BYTE bookmarks[] = {5, 0, 1, 0, 0, 0};
  EXPECT_TRUE(WriteSettingBinary(u"Bookmarks", bookmarks, sizeof bookmarks));
  EXPECT_EQ(Get(SETTINGS_KEY, u"Flags"), std::make_pair(DWORD{REG_DWORD}, Bytes{0x40, 0x00, 0x14, 0xD1}));
  EXPECT_EQ(Get(SETTINGS_KEY, u"FontName"), std::make_pair(DWORD{REG_SZ}, Text(u"David CLM")));
  EXPECT_EQ(Get(SETTINGS_KEY, u"SearchString"), std::make_pair(DWORD{REG_BINARY}, Bytes{'a', 'b', 'c', 0}));
  EXPECT_EQ(Get(SETTINGS_KEY, u"Bookmarks"), std::make_pair(DWORD{REG_BINARY}, Bytes{5, 0, 1, 0, 0, 0}));
  EXPECT_EQ(ReadSettingNumber(u"Flags", 0), static_cast<LONG>(0xD1140040));
}

TEST_F(SettingsStore, TextsAlwaysEndInsideTheirBlock) {
  long live = TestLiveAllocations();
  Put(SETTINGS_KEY, u"FontName", REG_SZ, Text(u"Frank Ruehl CLM", false));
  WCHAR* text = ReadSettingText(u"FontName");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text), u"Frank Ruehl CLM");
  LocalFree(text);
  EXPECT_EQ(ReadSettingText(u"Missing"), nullptr);
  EXPECT_EQ(TestLiveAllocations(), live);
}

TEST_F(SettingsStore, Text8IsCutToItsBufferAndKeptWhenAbsent) {
  struct Row {
    const char* name;
    Bytes data;  // empty: the value is missing
    std::string want;
  } rows[] = {
      {"40 bytes keep their first 33", Bytes(40, 'a'), std::string(33, 'a')},
      {"a short text with its 0", {'x', 'y', 0}, "xy"},
      {"a text without its 0", {'x', 'y', 'z'}, "xyz"},
      {"a first byte 0 leaves the buffer", {0, 'q'}, "keep"},
      {"a missing value leaves the buffer", {}, "keep"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    PlatformUseRegistryFile("");
    if (!r.data.empty()) Put(SETTINGS_KEY, u"SearchString", REG_BINARY, r.data);
    char buffer[34];
    std::memset(buffer, 0x55, sizeof buffer);
    std::strcpy(buffer, "keep");
    ReadSettingText8(u"SearchString", buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), r.want);
  }
}

TEST_F(SettingsStore, BinaryGivesTheFallbackWhenMissing) {
  BYTE fallback[1];
  DWORD size = 99;
  EXPECT_EQ(ReadSettingBinary(u"Bookmarks", fallback, &size), fallback);
  EXPECT_EQ(size, 99u);
  Put(SETTINGS_KEY, u"Bookmarks", REG_BINARY, {7, 0, 0, 0});
  BYTE* got = ReadSettingBinary(u"Bookmarks", fallback, &size);
  ASSERT_NE(got, fallback);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(got[0], 7);
  LocalFree(got);
  BYTE* raw = ReadSettingRaw(u"Bookmarks");
  ASSERT_NE(raw, nullptr);
  LocalFree(raw);
}

namespace {

void SaveAndLeave() {
  const auto& boxes = TestMessageBoxes();
  std::string text(boxes.back().text.begin(), boxes.back().text.end());
  std::fprintf(stderr, "[%s|%d|%x] settings saved\n", text.c_str(), boxes.back().owner == nullptr,
               boxes.back().flags);
  std::exit(0);
}

}  // namespace

TEST(CheckedAlloc, OutOfMemoryTellsSavesAndExitsWithZero) {
  SetOutOfMemoryExit(SaveAndLeave);
  EXPECT_EXIT(
      {
        TestFailAllocationAt(1);
        CheckedAlloc(16);
      },
      ::testing::ExitedWithCode(0), "\\[There is not enough memory, aborting\\|1\\|10\\] settings saved");
  void* block = CheckedAlloc(16);
  EXPECT_NE(block, nullptr);
  LocalFree(block);
}
