// Menus as records: loading, building, check and radio marks, item queries,
// and handles that are wrong or gone.
#include <gtest/gtest.h>

#include "menus_fixture.h"
#include "platform/testing.h"

namespace {

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestUseResources(AppResources()));
    menu_ = LoadMenuW(nullptr, MAKEINTRESOURCEW(102));
    ASSERT_NE(menu_, nullptr);
    go_ = GetSubMenu(menu_, 0);
    korvel_ = GetSubMenu(menu_, 1);
  }
  void TearDown() override { DestroyMenu(menu_); }

  UINT State(HMENU menu, UINT item, BOOL byPosition = FALSE) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoW(menu, item, byPosition, &info)) return 0xDEAD;
    return info.fState;
  }

  enum Which { kWhole, kGo, kKorvel };
  HMENU Pick(Which which) const { return which == kWhole ? menu_ : which == kGo ? go_ : korvel_; }

  HMENU menu_ = nullptr, go_ = nullptr, korvel_ = nullptr;
};

TEST_F(MenuTest, LoadsTheMenuResource) {
  EXPECT_EQ(GetMenuItemCount(menu_), 2);
  ASSERT_NE(go_, nullptr);
  ASSERT_NE(korvel_, nullptr);
  EXPECT_EQ(GetMenuItemCount(go_), 18);
  EXPECT_EQ(GetMenuItemCount(korvel_), 6);
  EXPECT_EQ(GetMenuItemID(go_, 3), 40006u);
  EXPECT_EQ(GetMenuItemID(menu_, 0), UINT(-1)) << "a pop-up has no command";
  EXPECT_EQ(GetMenuItemID(go_, 99), UINT(-1));
  EXPECT_EQ(GetSubMenu(go_, 0), nullptr);

  WCHAR text[32] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU;
  info.dwTypeData = text;
  info.cch = 32;
  ASSERT_TRUE(GetMenuItemInfoW(go_, 40006, FALSE, &info));
  EXPECT_EQ(std::u16string(text), u"F&ont\bCtrl+F");
  EXPECT_EQ(info.cch, 12u);
  EXPECT_EQ(info.wID, 40006u);
  EXPECT_EQ(info.fType, static_cast<UINT>(MFT_STRING));
  EXPECT_EQ(info.hSubMenu, nullptr);
  ASSERT_TRUE(GetMenuItemInfoW(go_, 2, TRUE, &info));
  EXPECT_EQ(info.fType, static_cast<UINT>(MFT_SEPARATOR));
  info.cch = 32;
  ASSERT_TRUE(GetMenuItemInfoW(menu_, 1, TRUE, &info));
  EXPECT_EQ(info.hSubMenu, korvel_);
  EXPECT_EQ(std::u16string(text), u"&Korvel");

  // A text longer than the room is cut, always with its zero.
  info.cch = 4;
  ASSERT_TRUE(GetMenuItemInfoW(go_, 40006, FALSE, &info));
  EXPECT_EQ(std::u16string(text), u"F&o");
}

TEST_F(MenuTest, MissingOrMalformedMenusAreNotLoaded) {
  std::vector<PackResource> resources = AppResources();
  resources.push_back({4, 7, {'L', 'M', 'M', 'N', 1, 0}});
  ASSERT_TRUE(TestUseResources(resources));
  EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(7)), nullptr);
  EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(999)), nullptr);
  EXPECT_EQ(LoadMenuW(nullptr, u"named"), nullptr);
}

TEST_F(MenuTest, CheckMenuItemReturnsThePreviousState) {
  const struct {
    const char* name;
    Which menu;
    UINT item;
    UINT flags;
    DWORD previous;
    UINT stateAfter;
  } steps[] = {
      {"set by command in the pop-up", kGo, 122, MF_BYCOMMAND | MF_CHECKED, MF_UNCHECKED, MFS_CHECKED},
      {"set again", kGo, 122, MF_BYCOMMAND | MF_CHECKED, MF_CHECKED, MFS_CHECKED},
      {"cleared through the whole menu", kWhole, 122, MF_BYCOMMAND | MF_UNCHECKED, MF_CHECKED, 0},
      {"by position", kGo, 7, MF_BYPOSITION | MF_CHECKED, MF_UNCHECKED, MFS_CHECKED},
      {"unknown command", kGo, 4242, MF_BYCOMMAND | MF_CHECKED, DWORD(-1), 0xDEAD},
      {"position past the end", kGo, 18, MF_BYPOSITION | MF_CHECKED, DWORD(-1), 0xDEAD},
      {"command of the other pop-up", kGo, 412, MF_BYCOMMAND | MF_CHECKED, DWORD(-1), 0xDEAD},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    HMENU menu = Pick(s.menu);
    EXPECT_EQ(CheckMenuItem(menu, s.item, s.flags), s.previous);
    EXPECT_EQ(State(menu, s.item, (s.flags & MF_BYPOSITION) != 0), s.stateAfter);
  }
  EXPECT_EQ(State(go_, 123), static_cast<UINT>(MFS_CHECKED)) << "position 7 is Bookmark";
}

// The app's toggle: read the mark with a record of the handheld's size, invert it.
TEST_F(MenuTest, TheMarkReadsBackWithEveryRecordSize) {
  ASSERT_EQ(CheckMenuItem(go_, 122, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  const struct {
    UINT size;
    UINT mask;
    bool ok;
  } cases[] = {
      {sizeof(MENUITEMINFOW), MIIM_STATE, true},
      {44, MIIM_STATE, true},
      {44, MIIM_STATE | MIIM_SUBMENU, true},
      {16, MIIM_STATE, true},
      {12, MIIM_STATE, false},
      {16, MIIM_ID, false},
      {44, MIIM_TYPE, false},
      {0, MIIM_STATE, false},
      {sizeof(MENUITEMINFOW) + 1, MIIM_STATE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << " mask " << c.mask);
    MENUITEMINFOW info{};
    info.cbSize = c.size;
    info.fMask = c.mask;
    EXPECT_EQ(GetMenuItemInfoW(go_, 122, FALSE, &info) != 0, c.ok);
    if (c.ok) {
      EXPECT_EQ(info.fState & MFS_CHECKED, static_cast<UINT>(MFS_CHECKED));
    }
  }
  EXPECT_FALSE(GetMenuItemInfoW(go_, 122, FALSE, nullptr));
}

TEST_F(MenuTest, RadioMarksMoveWithinTheRange) {
  auto radioOn = [&](HMENU menu) {
    std::vector<UINT> on;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_STATE | MIIM_TYPE | MIIM_ID;
      GetMenuItemInfoW(menu, i, TRUE, &info);
      if (info.fState & MFS_CHECKED) {
        EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
        on.push_back(info.wID);
      }
    }
    return on;
  };
  // The app marks the ratio by command on the pop-up (menu bar) or on the
  // whole menu (command bar); the range's ends stand anywhere in the pop-up.
  const struct {
    const char* name;
    Which menu;
    UINT first, last, check, flags;
    BOOL ok;
    std::vector<UINT> on;
  } steps[] = {
      {"on 1/2", kKorvel, 401, 434, 412, MF_BYCOMMAND, TRUE, {412}},
      {"moved to none, whole menu", kWhole, 401, 434, 401, MF_BYCOMMAND, TRUE, {401}},
      {"by position", kKorvel, 0, 5, 4, MF_BYPOSITION, TRUE, {434}},
      {"check outside the range", kKorvel, 401, 420, 423, MF_BYCOMMAND, FALSE, {434}},
      {"range reversed", kKorvel, 434, 401, 412, MF_BYCOMMAND, FALSE, {434}},
      {"unknown command", kKorvel, 401, 434, 420, MF_BYCOMMAND, FALSE, {434}},
      {"position past the end", kKorvel, 0, 6, 1, MF_BYPOSITION, FALSE, {434}},
      {"narrow range keeps the rest", kKorvel, 412, 414, 413, MF_BYCOMMAND, TRUE, {413, 434}},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(CheckMenuRadioItem(Pick(s.menu), s.first, s.last, s.check, s.flags), s.ok);
    EXPECT_EQ(radioOn(korvel_), s.on);
  }
  EXPECT_TRUE(radioOn(go_).empty());
}

TEST_F(MenuTest, EnableMenuItemReturnsThePreviousState) {
  EXPECT_EQ(EnableMenuItem(go_, 117, MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(State(go_, 117), static_cast<UINT>(MFS_GRAYED));
  EXPECT_EQ(EnableMenuItem(go_, 117, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(State(go_, 117), 0u);
  EXPECT_EQ(EnableMenuItem(go_, 4242, MF_GRAYED), -1);
}

TEST(MenuBuild, AppendDestroyAndBadHandles) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(popup, MF_STRING | MF_CHECKED, 5, u"&First"));
  ASSERT_TRUE(AppendMenuW(popup, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), u"&Menu"));
  EXPECT_FALSE(AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(bar), u"loop")) << "a menu inside itself";
  EXPECT_FALSE(AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(bar), u"self"));
  EXPECT_FALSE(AppendMenuW(bar, MF_POPUP, 0x1234, u"no such pop-up"));
  EXPECT_EQ(GetSubMenu(bar, 0), popup);
  EXPECT_EQ(CheckMenuItem(bar, 5, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));

  ASSERT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_FALSE(IsMenu(popup)) << "the pop-up goes with its menu";
  EXPECT_FALSE(DestroyMenu(bar));

  // Whatever the handle, nothing breaks.
  for (HMENU bad : {HMENU(nullptr), bar, popup, reinterpret_cast<HMENU>(0x1234)}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(bad));
    EXPECT_EQ(GetMenuItemCount(bad), -1);
    EXPECT_EQ(GetSubMenu(bad, 0), nullptr);
    EXPECT_EQ(GetMenuItemID(bad, 0), UINT(-1));
    EXPECT_EQ(CheckMenuItem(bad, 5, MF_CHECKED), DWORD(-1));
    EXPECT_FALSE(CheckMenuRadioItem(bad, 0, 1, 0, MF_BYPOSITION));
    EXPECT_EQ(EnableMenuItem(bad, 5, MF_GRAYED), -1);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    EXPECT_FALSE(GetMenuItemInfoW(bad, 5, FALSE, &info));
    EXPECT_FALSE(AppendMenuW(bad, MF_STRING, 1, u"x"));
    EXPECT_FALSE(TrackPopupMenuEx(bad, 0, 0, 0, nullptr, nullptr));
  }
}

// A chain of pop-ups deeper than any search goes: found near the top, not
// below, and destroyed whole without recursion.
TEST(MenuBuild, LongChainsOfPopupsAreSafe) {
  HMENU top = CreateMenu();
  HMENU at = top;
  for (int i = 0; i < 10000; ++i) {
    HMENU next = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(next, MF_STRING, static_cast<UINT_PTR>(i + 1), u"x"));
    ASSERT_TRUE(AppendMenuW(at, MF_POPUP, reinterpret_cast<UINT_PTR>(next), u"deeper"));
    at = next;
  }
  EXPECT_EQ(CheckMenuItem(top, 1, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(top, 9999, MF_CHECKED), DWORD(-1));
  EXPECT_EQ(CheckMenuItem(at, 10000, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_TRUE(DestroyMenu(top));
  EXPECT_FALSE(IsMenu(at));
}

}  // namespace
