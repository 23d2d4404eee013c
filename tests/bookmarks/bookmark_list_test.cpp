#include <gtest/gtest.h>

#include <vector>

#include "bookmarks/bookmark_list.h"
#include "platform/dialogs.h"
#include "platform/testing.h"
#include "registry_fixture.h"
#include "settings/program_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Bookmarks : public MemoryRegistry {
 protected:
  void SetUp() override {
    MemoryRegistry::SetUp();
    TestClearMessageBoxes();
    LoadBookmarks();
  }
  void TearDown() override {
    FreeBookmarks();
    TestClearMessageBoxes();
    MemoryRegistry::TearDown();
  }

  static std::vector<WORD> List() {
    std::vector<WORD> out;
    if (BookmarkList == nullptr) return out;
    for (WORD i = 0; i < BookmarkCount; ++i) out.push_back(BookmarkList[i]);
    EXPECT_EQ(BookmarkList[BookmarkCount], 0) << "the list ends with its 0 entry";
    return out;
  }

  static void Add(WORD n) {
    CurrentArticle = n;
    AddBookmark();
  }
};

}  // namespace

TEST_F(Bookmarks, AddRefusesDuplicatesAndSavesWithTheEndMark) {
  Add(5);
  Add(1);
  Add(5);
  EXPECT_EQ(List(), (std::vector<WORD>{5, 1}));
  SaveBookmarks();
  EXPECT_EQ(Get(SETTINGS_KEY, u"Bookmarks"), std::make_pair(DWORD{REG_BINARY}, Bytes{5, 0, 1, 0, 0, 0}));

  CurrentArticle = 5;
  RemoveBookmark();
  EXPECT_EQ(List(), (std::vector<WORD>{1}));
  CurrentArticle = 1;
  RemoveBookmark();
  EXPECT_EQ(List(), std::vector<WORD>{});
  SaveBookmarks();
  EXPECT_EQ(Get(SETTINGS_KEY, u"Bookmarks").second, (Bytes{0, 0}));

  FreeBookmarks();
  SaveBookmarks();
  EXPECT_EQ(Get(SETTINGS_KEY, u"Bookmarks").second, (Bytes{0, 0})) << "no list: a single 0";
}

TEST_F(Bookmarks, StoredValuesAlwaysGiveAListThatEndsInsideIt) {
  struct Row {
    const char* name;
    Bytes stored;  // empty with missing: no value at all
    bool missing;
    bool hasList;
    std::vector<WORD> want;
  } rows[] = {
      {"missing: no list", {}, true, false, {}},
      {"00 00: an empty list", {0, 0}, false, true, {}},
      {"two entries and the end mark", {5, 0, 1, 0, 0, 0}, false, true, {5, 1}},
      {"no end mark: the last entry ends it", {5, 0, 7, 0}, false, true, {5}},
      {"odd length: the last whole entry ends it", {5, 0, 1, 0, 9}, false, true, {5}},
      {"one byte: an empty list", {9}, false, true, {}},
      {"zero bytes: an empty list", {}, false, true, {}},
      {"a 0 in the middle ends the list there", {5, 0, 0, 0, 7, 0, 0, 0}, false, true, {5}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    PlatformUseRegistryFile("");
    if (!r.missing) Put(SETTINGS_KEY, u"Bookmarks", REG_BINARY, r.stored);
    LoadBookmarks();
    EXPECT_EQ(BookmarkList != nullptr, r.hasList);
    EXPECT_EQ(List(), r.want);
    EXPECT_EQ(BookmarkCount, r.want.size());
  }
  // With a 0 in the middle, side 7 is not listed and so can be added once.
  PlatformUseRegistryFile("");
  Put(SETTINGS_KEY, u"Bookmarks", REG_BINARY, {5, 0, 0, 0, 7, 0, 0, 0});
  LoadBookmarks();
  Add(7);
  Add(7);
  EXPECT_EQ(List(), (std::vector<WORD>{5, 7}));
}

TEST_F(Bookmarks, RemovalAsksUntilCancelIsAnswered) {
  MainWindow = reinterpret_cast<HWND>(0x4242);
  struct Row {
    int answer;
    bool kept;
  } rows[] = {{IDNO, true}, {IDYES, false}, {IDOK, false}, {IDCANCEL, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.answer);
    Add(3);
    TestClearMessageBoxes();
    TestQueueMessageBoxAnswer(r.answer);
    ToggleBookmark(IsBookmarked());
    EXPECT_EQ(IsBookmarked() != FALSE, r.kept);
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    const MessageBoxRecord& box = TestMessageBoxes()[0];
    EXPECT_EQ(box.owner, MainWindow);
    EXPECT_EQ(box.text, u"Remove Bookmark?\n\nCancel - Don't ask again");
    EXPECT_EQ(box.caption, u"Bookmark");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_YESNOCANCEL));
    if (r.kept) {
      CurrentArticle = 3;
      RemoveBookmark();
    }
  }
  // After Cancel: removals ask nothing, until the next start.
  Add(3);
  TestClearMessageBoxes();
  ToggleBookmark(IsBookmarked());
  EXPECT_FALSE(IsBookmarked());
  EXPECT_TRUE(TestMessageBoxes().empty());
  LoadBookmarks();
  Add(3);
  ToggleBookmark(IsBookmarked());
  EXPECT_EQ(TestMessageBoxes().size(), 1u) << "asked again after a restart";
  ToggleBookmark(FALSE);
  EXPECT_TRUE(IsBookmarked()) << "not bookmarked: the toggle adds";
}

TEST_F(Bookmarks, AnAddThatCannotAllocateChangesNothing) {
  Add(1);
  TestFailAllocationAt(1);
  Add(3);
  EXPECT_EQ(List(), (std::vector<WORD>{1}));
  EXPECT_TRUE(TestMessageBoxes().empty());
}
