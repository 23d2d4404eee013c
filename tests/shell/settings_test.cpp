#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bookmarks/bookmark_list.h"
#include "platform/options.h"
#include "registry_fixture.h"
#include "shell/shell_state.h"

namespace fs = std::filesystem;

namespace {

class Settings : public MemoryRegistry {
 protected:
  void SetUp() override {
    MemoryRegistry::SetUp();
    Clear();
  }
  void TearDown() override {
    FreeBookmarks();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    MemoryRegistry::TearDown();
  }
  static void Clear() {
    std::memset(&FontSpec, 0, sizeof FontSpec);
    Flags = 0;
    CurrentArticle = 0;
    LastPosition = 0;
    SearchString[0] = 0;
    BottomSection = 0;
    BottomSectionLastPosition = 0;
  }
};

}  // namespace

TEST_F(Settings, AnEmptyRegistryGivesTheDefaults) {
  LoadSettings();
  EXPECT_EQ(FontSpec.faceName[0], 0);
  EXPECT_EQ(FontSpec.size, 0);
  EXPECT_EQ(FontSpec.letterBase, 1488);
  EXPECT_EQ(Flags, 0xD1140040u);
  EXPECT_EQ(BottomSection, 12);
  EXPECT_EQ(CurrentArticle, 0);
  EXPECT_EQ(LastPosition, 0);
  EXPECT_EQ(BottomSectionLastPosition, 0);
  EXPECT_EQ(SearchString[0], 0);
  EXPECT_EQ(BookmarkList, nullptr);
  SetCurrentArticle(0);
  EXPECT_EQ(CurrentArticle, 1);
  auto path = Get(SETTINGS_KEY, u"Program Path");
  EXPECT_EQ(path.first, static_cast<DWORD>(REG_SZ));
  EXPECT_GT(path.second.size(), 4u);
}

TEST_F(Settings, StoredValuesAreReadWithTheirLimits) {
  Put(SETTINGS_KEY, u"FontName", REG_SZ, Text(std::u16string(40, u'x')));
  Put(SETTINGS_KEY, u"Lesson", REG_SZ, Text(u"37"));
  Put(SETTINGS_KEY, u"SearchString", REG_BINARY, std::vector<uint8_t>(40, 'b'));
  Put(SETTINGS_KEY, u"LastPosition", REG_DWORD, {0x05, 0x00, 0x01, 0x00});  // low 16 bits: 5
  LoadSettings();
  EXPECT_EQ(std::u16string(FontSpec.faceName), std::u16string(31, u'x'));
  EXPECT_EQ(CurrentArticle, 37);
  EXPECT_EQ(std::string(SearchString), std::string(33, 'b'));
  EXPECT_EQ(LastPosition, 5);
}

TEST_F(Settings, BottomSectionOutsideTheKnownCodesFallsBackTo12) {
  struct Row {
    LONG stored, want;
  } rows[] = {{14, 14}, {13, 13}, {12, 12}, {23, 23}, {34, 34}, {1, 1}, {10, 12}, {20, 12}, {0, 12}, {45, 12}, {-12, 12}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.stored);
    DWORD v = static_cast<DWORD>(r.stored);
    Put(SETTINGS_KEY, u"BottomSection", REG_DWORD,
        {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
         static_cast<uint8_t>(v >> 24)});
    LoadSettings();
    EXPECT_EQ(BottomSection, r.want);
    FreeBookmarks();
  }
}

TEST_F(Settings, SetCurrentArticleResetsThePositionOnlyOnAChange) {
  struct Row {
    WORD before, n, after;
    bool reset;
  } rows[] = {{0, 0, 1, true}, {7, 0, 7, false}, {7, 7, 7, false}, {7, 9, 9, true}, {0, 5, 5, true}};
  for (const Row& r : rows) {
    CurrentArticle = r.before;
    LastPosition = 33;
    SetCurrentArticle(r.n);
    EXPECT_EQ(CurrentArticle, r.after);
    EXPECT_EQ(LastPosition, r.reset ? 0 : 33);
  }
}

TEST(SettingsFile, SaveWritesInItsOrderAndEndsTheLoop) {
  fs::path dir = fs::path(::testing::TempDir()) / ("lumora-settings-" + std::to_string(getpid()));
  fs::remove_all(dir);
  PlatformUseRegistryFile((dir / "registry").string());
  std::memset(&FontSpec, 0, sizeof FontSpec);
  CurrentArticle = 0;
  SearchString[0] = 0;
  LoadSettings();
  SetCurrentArticle(0);
  std::strcpy(SearchString, "abc");
  std::memcpy(FontSpec.faceName, u"David CLM", sizeof u"David CLM");
  FontSpec.size = 18;
  CurrentArticle = 5;
  AddBookmark();
  SaveSettings();

  std::ifstream in(dir / "registry");
  std::stringstream text;
  text << in.rdbuf();
  std::vector<std::string> names;
  std::string line;
  while (std::getline(text, line))
    if (!line.empty() && line[0] == '"') names.push_back(line.substr(1, line.find('"', 1) - 1));
  EXPECT_EQ(names, (std::vector<std::string>{"Program Path", "SearchString", "FontName", "FontSize", "FontAsciiBase",
                                             "Flags", "Lesson", "BottomSection", "Bookmarks"}));
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 0u);
  EXPECT_EQ(BookmarkList, nullptr);
  PlatformUseRegistryFile("");
  fs::remove_all(dir);
}
