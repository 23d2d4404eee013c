#include "controls_fixture.h"

namespace {

class ListBox : public ControlsTest {
 protected:
  // Items are 18 pixels high with Test Fixed (16-pixel cells).
  HWND MakeList(DWORD style, std::initializer_list<const char16_t*> items, int height = 90) {
    HWND list = Make(u"LISTBOX", style, 10, 10, 100, height, 1001);
    for (const char16_t* item : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    return list;
  }
  static std::vector<std::u16string> Items(HWND list) {
    std::vector<std::u16string> out;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char16_t buffer[64] = {};
      LRESULT length = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
      EXPECT_EQ(length, SendMessageW(list, LB_GETTEXTLEN, i, 0));
      out.emplace_back(buffer);
    }
    return out;
  }
  static LRESULT SelectString(HWND list, intptr_t after, const char16_t* prefix) {
    return SendMessageW(list, LB_SELECTSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(prefix));
  }
};

TEST_F(ListBox, SortsWithoutCaseOnInsertion) {
  HWND sorted = MakeList(LBS_SORT, {u"Tahoma", u"david", u"DejaVu Sans", u"Arial", u"test fixed", u"Test Fixed",
                                    u"\u00C9cole", u"\u00E9a"});
  EXPECT_EQ(Items(sorted), (std::vector<std::u16string>{u"Arial", u"david", u"DejaVu Sans", u"Tahoma",
                                                        u"test fixed", u"Test Fixed", u"\u00E9a", u"\u00C9cole"}));
  EXPECT_EQ(SendMessageW(sorted, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Courier")), 1)
      << "LB_ADDSTRING answers where the item went";
  HWND plain = MakeList(0, {u"b", u"a", u"c"});
  EXPECT_EQ(Items(plain), (std::vector<std::u16string>{u"b", u"a", u"c"}));
  EXPECT_EQ(SendMessageW(plain, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(u"x")), 1);
  EXPECT_EQ(SendMessageW(plain, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(u"y")), LB_ERR);
  EXPECT_EQ(Items(plain), (std::vector<std::u16string>{u"b", u"x", u"a", u"c"}));
}

struct SelectCase {
  const char* name;
  intptr_t after;
  const char16_t* prefix;
  LRESULT found;
};

TEST_F(ListBox, SelectStringFindsPrefixesAfterTheStartAndWraps) {
  const SelectCase rows[] = {
      {"from the start", -1, u"de", 2},
      {"case does not matter", -1, u"DEJ", 2},
      {"after an index", 2, u"D", 3},
      {"wraps round", 3, u"d", 1},
      {"the start itself last", 1, u"da", 1},
      {"an empty prefix takes the next", 0, u"", 1},
      {"a whole name", -1, u"Tahoma", 4},
      {"no match", -1, u"Zz", LB_ERR},
      {"longer than any item", -1, u"Arial Black", LB_ERR},
      {"a start past the end searches all", 99, u"Ar", 0},
      {"a number of no size", -1, u"13", LB_ERR},
      {"digits", -1, u"8", 5},
  };
  HWND list = MakeList(0, {u"Arial", u"david", u"DejaVu Sans", u"Dutch", u"Tahoma", u"8"});
  for (const SelectCase& row : rows) {
    SCOPED_TRACE(row.name);
    SendMessageW(list, LB_SETCURSEL, 4, 0);
    EXPECT_EQ(SelectString(list, row.after, row.prefix), row.found);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), row.found == LB_ERR ? 4 : row.found)
        << "a miss keeps the selection";
  }
  EXPECT_EQ(SelectString(list, -1, nullptr), LB_ERR);
  EXPECT_TRUE(Codes(WM_COMMAND, list).empty()) << "the program's selections are not notified";
}

TEST_F(ListBox, NotifiesOnlyTheUsersChoices) {
  HWND list = MakeList(LBS_NOTIFY, {u"a", u"b", u"c", u"d", u"e", u"f", u"g"});
  SendMessageW(list, LB_SETCURSEL, 1, 0);
  EXPECT_TRUE(Codes(WM_COMMAND, list).empty());
  Tap(list, 20, 18 * 2 + 5);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Codes(WM_COMMAND, list), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
  HeardLog().clear();
  Tap(list, 20, 18 * 2 + 5);
  EXPECT_TRUE(Codes(WM_COMMAND, list).empty()) << "the same item again changes nothing";
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
  EXPECT_EQ(Codes(WM_COMMAND, list), (std::vector<int>{LBN_SELCHANGE, LBN_DBLCLK}));

  struct KeyRow {
    WPARAM key;
    LRESULT selected;
  } keys[] = {{VK_DOWN, 1}, {VK_END, 6}, {VK_DOWN, 6}, {VK_PRIOR, 2}, {VK_HOME, 0}, {VK_UP, 0}, {VK_NEXT, 4}};
  for (const KeyRow& k : keys) {
    SCOPED_TRACE(k.key);
    HeardLog().clear();
    LRESULT before = SendMessageW(list, LB_GETCURSEL, 0, 0);
    Key(list, k.key);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), k.selected);
    EXPECT_EQ(Codes(WM_COMMAND, list).size(), before != k.selected ? 1u : 0u);
  }

  HWND quiet = MakeList(0, {u"a", u"b"});
  HeardLog().clear();
  Tap(quiet, 20, 18 + 5);
  EXPECT_EQ(SendMessageW(quiet, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Codes(WM_COMMAND, quiet), (std::vector<int>{LBN_SETFOCUS}))
      << "without LBS_NOTIFY only the focus is told";
}

TEST_F(ListBox, BadIndexesAndReset) {
  HWND list = MakeList(0, {u"a", u"b"});
  char16_t buffer[8] = {};
  EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buffer)), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(-5), 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
  SendMessageW(list, LB_SETCURSEL, 1, 0);
  EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0) << "the selection follows its item";
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
  Tap(list, 20, 5);
  Key(list, VK_DOWN);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(ListBox, ScrollsToShowTheSelectionAndPaintsItBlue) {
  HWND list = MakeList(WS_VSCROLL | LBS_NOTIFY, {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"}, 54);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
  EXPECT_EQ(info.nMax, 9);
  EXPECT_EQ(info.nPage, 3u);
  SendMessageW(list, LB_SETCURSEL, 7, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 5);
  EXPECT_EQ(Pixel(list, 60, 18 * 2 + 8), controls::kHighlight) << "the selected row, last of three";
  EXPECT_EQ(Pixel(list, 60, 8), RGB(255, 255, 255));
  SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 7) << "no further than the last page";
  SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 2);
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
  EXPECT_EQ(info.nPos, 2);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  info = SCROLLINFO{sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(list, SB_VERT, &info);
  EXPECT_EQ(info.nMax, 0) << "no range once the items fit";
}

}  // namespace
