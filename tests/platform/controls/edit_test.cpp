#include "controls_fixture.h"

namespace {

using controls::kHighlight;
using controls::kHighlightText;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Edit : public ControlsTest {
 protected:
  HWND MakeEdit(DWORD style, int width = 100, int height = 20, const char16_t* text = u"") {
    return Make(u"EDIT", style, 10, 10, width, height, 1013, text);
  }
  static std::pair<DWORD, DWORD> Sel(HWND edit) {
    DWORD start = 99, end = 99;
    LRESULT both = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(LOWORD(both), start);
    EXPECT_EQ(HIWORD(both), end);
    return {start, end};
  }
  static void SetSel(HWND edit, int start, int end) { SendMessageW(edit, EM_SETSEL, start, end); }
  static void Replace(HWND edit, const char16_t* text, bool undoable = true) {
    SendMessageW(edit, EM_REPLACESEL, undoable, reinterpret_cast<LPARAM>(text));
  }
};

TEST_F(Edit, TypingInsertsAtTheCaret) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL);
  Type(edit, u"abc");
  Key(edit, VK_LEFT);
  Key(edit, VK_LEFT);
  Type(edit, u"X");
  EXPECT_EQ(Text(edit), u"aXbc");
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{2}, DWORD{2}));
  EXPECT_EQ(GetWindowTextLengthW(edit), 4);
}

struct KeyCase {
  const char* name;
  int start, end;
  UINT message;
  WPARAM key;
  const char16_t* text;
  DWORD selStart, selEnd;
};

TEST_F(Edit, KeysAtEveryPlace) {
  const KeyCase rows[] = {
      {"home", 3, 3, WM_KEYDOWN, VK_HOME, u"hello", 0, 0},
      {"end", 1, 1, WM_KEYDOWN, VK_END, u"hello", 5, 5},
      {"left at the start", 0, 0, WM_KEYDOWN, VK_LEFT, u"hello", 0, 0},
      {"right at the end", 5, 5, WM_KEYDOWN, VK_RIGHT, u"hello", 5, 5},
      {"left collapses a selection", 1, 3, WM_KEYDOWN, VK_LEFT, u"hello", 1, 1},
      {"right collapses a selection", 1, 3, WM_KEYDOWN, VK_RIGHT, u"hello", 3, 3},
      {"delete", 1, 1, WM_KEYDOWN, VK_DELETE, u"hllo", 1, 1},
      {"delete at the end", 5, 5, WM_KEYDOWN, VK_DELETE, u"hello", 5, 5},
      {"delete a selection", 1, 3, WM_KEYDOWN, VK_DELETE, u"hlo", 1, 1},
      {"back", 1, 1, WM_CHAR, VK_BACK, u"ello", 0, 0},
      {"back at the start", 0, 0, WM_CHAR, VK_BACK, u"hello", 0, 0},
      {"back over a selection", 4, 2, WM_CHAR, VK_BACK, u"heo", 2, 2},
      {"typing over a selection", 1, 3, WM_CHAR, 'Z', u"hZlo", 2, 2},
      {"control characters", 2, 2, WM_CHAR, 0x1B, u"hello", 2, 2},
  };
  for (const KeyCase& row : rows) {
    SCOPED_TRACE(row.name);
    HWND edit = MakeEdit(ES_AUTOHSCROLL, 100, 20, u"hello");
    SetSel(edit, row.start, row.end);
    SendMessageW(edit, row.message, row.key, 0);
    EXPECT_EQ(Text(edit), row.text);
    EXPECT_EQ(Sel(edit), std::make_pair(row.selStart, row.selEnd));
    DestroyWindow(edit);
  }
}

TEST_F(Edit, ReplaceThenMoveTheCaretBackBuildsRightToLeft) {
  HWND edit = MakeEdit(ES_RIGHT | ES_AUTOHSCROLL);
  for (const char16_t* letter : {u"A", u"B", u"C"}) {
    Replace(edit, letter);
    DWORD start = Sel(edit).first;
    ASSERT_GE(start, 1u);
    SetSel(edit, static_cast<int>(start) - 1, static_cast<int>(start) - 1);
  }
  EXPECT_EQ(Text(edit), u"CBA");
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{0}));

  EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
  SendMessageW(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(edit), u"BA") << "undo takes back the last replacement";
  SendMessageW(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(edit), u"CBA") << "undoing the undo restores it";

  Replace(edit, u"D", false);
  EXPECT_EQ(Text(edit), u"DCBA");
  EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0)) << "a replacement that cannot be undone";
}

TEST_F(Edit, TypedRunIsUndoneAsOne) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL, 100, 20, u"x");
  SetSel(edit, 1, 1);
  Type(edit, u"abc");
  SendMessageW(edit, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(edit), u"x");
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{1}, DWORD{1}));
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"new"));
  EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
}

struct LimitCase {
  const char* name;
  void (*feed)(HWND edit, const std::u16string& text);
  size_t length;
  bool maxText;
};

TEST_F(Edit, LimitHoldsForEveryInput) {
  static HWND source;
  source = MakeEdit(ES_AUTOHSCROLL);
  const std::u16string forty(40, u'\u05D0');
  const LimitCase rows[] = {
      {"typed", [](HWND e, const std::u16string& t) { Type(e, t); }, 33, true},
      {"replaced at once",
       [](HWND e, const std::u16string& t) { SendMessageW(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(t.c_str())); },
       33, true},
      {"replaced one by one, caret moved back",
       [](HWND e, const std::u16string& t) {
         for (char16_t c : t) {
           char16_t one[2] = {c, 0};
           SendMessageW(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(one));
           DWORD s = 0;
           SendMessageW(e, EM_GETSEL, reinterpret_cast<WPARAM>(&s), 0);
           SendMessageW(e, EM_SETSEL, s - 1, s - 1);
         }
       },
       33, true},
      {"pasted",
       [](HWND e, const std::u16string& t) {
         SetWindowTextW(source, t.c_str());
         SendMessageW(source, EM_SETSEL, 0, -1);
         SendMessageW(source, WM_COPY, 0, 0);
         SendMessageW(e, WM_PASTE, 0, 0);
       },
       33, true},
      {"set as the window text", [](HWND e, const std::u16string& t) { SetWindowTextW(e, t.c_str()); }, 40, false},
  };
  for (const LimitCase& row : rows) {
    SCOPED_TRACE(row.name);
    HWND edit = MakeEdit(ES_AUTOHSCROLL);
    SendMessageW(edit, EM_LIMITTEXT, 33, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 33);
    HeardLog().clear();
    row.feed(edit, forty);
    EXPECT_EQ(Text(edit).size(), row.length);
    std::vector<int> codes = Codes(WM_COMMAND, edit);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_MAXTEXT) > 0, row.maxText);
    DestroyWindow(edit);
  }
  // At the limit a selection still makes room.
  HWND edit = MakeEdit(ES_AUTOHSCROLL, 100, 20, std::u16string(33, u'a').c_str());
  SendMessageW(edit, EM_LIMITTEXT, 33, 0);
  SetSel(edit, 0, 3);
  Type(edit, u"bc");
  EXPECT_EQ(Text(edit), u"bc" + std::u16string(30, u'a'));
}

TEST_F(Edit, NotifiesChangesButNotSelection) {
  HWND edit = MakeEdit(ES_AUTOHSCROLL);
  Type(edit, u"a");
  SetSel(edit, 0, 1);
  Replace(edit, u"b");
  SetWindowTextW(edit, u"c");
  EXPECT_EQ(Codes(WM_COMMAND, edit),
            (std::vector<int>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
  HeardLog().clear();
  SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
  Type(edit, u"zz");
  Key(edit, VK_DELETE);
  EXPECT_EQ(Text(edit), u"c");
  EXPECT_TRUE(Codes(WM_COMMAND, edit).empty());
}

struct AlignCase {
  const char* name;
  DWORD style;
  int firstGlyph;  // client x of the first character's left edge
};

// Test Fixed: each character is an 8-pixel step with a box outline from its
// x to x + 7 and from the cell's row 1 to row 15; the text starts 2 pixels in
// from the sides and 1 from the top.
TEST_F(Edit, AlignmentCaretAndSelectionPixels) {
  const AlignCase rows[] = {
      {"left", ES_LEFT, 2},
      {"centred", ES_CENTER, 2 + (96 - 24) / 2},
      {"right", ES_RIGHT, 98 - 24},
  };
  for (const AlignCase& row : rows) {
    SCOPED_TRACE(row.name);
    HWND edit = MakeEdit(row.style | ES_AUTOHSCROLL, 100, 20, u"abc");
    int x = row.firstGlyph;
    const int y = 8;
    EXPECT_EQ(Pixel(edit, x - 1, y), kWhite);
    EXPECT_EQ(Pixel(edit, x, y), kBlack);
    EXPECT_EQ(Pixel(edit, x + 3, y), kWhite);
    EXPECT_EQ(Pixel(edit, x + 16, y), kBlack);
    EXPECT_EQ(Pixel(edit, x + 24, y), kWhite);

    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    SetSel(edit, 1, 2);
    EXPECT_EQ(Pixel(edit, x + 7, y), kWhite) << "the gap before the selection";
    EXPECT_EQ(Pixel(edit, x + 8, y), kHighlightText) << "the selected glyph";
    EXPECT_EQ(Pixel(edit, x + 11, y), kHighlight) << "inside the selected glyph";
    EXPECT_EQ(Pixel(edit, x + 15, y), kBlack) << "the caret, after the selection";
    EXPECT_EQ(Pixel(edit, x + 16, y), kBlack) << "the next glyph's edge is not selected";

    SetSel(edit, 3, 3);
    EXPECT_EQ(Pixel(edit, x + 11, y), kWhite);
    for (int r = 1; r < 17; ++r) EXPECT_EQ(Pixel(edit, x + 23, r), kBlack) << "the caret at the end";
    SetSel(edit, 0, 0);
    EXPECT_EQ(Pixel(edit, x - 1, y), kBlack) << "the caret at the start";
    SetFocus(parent_);
    EXPECT_EQ(Pixel(edit, x - 1, y), kWhite) << "no caret without the focus";
    DestroyWindow(edit);
  }
}

TEST_F(Edit, AutoScrollKeepsTheCaretInSight) {
  HWND scrolling = MakeEdit(ES_AUTOHSCROLL, 60, 20);
  SetFocus(scrolling);
  Type(scrolling, u"abcdefghijklmnopqrst");
  EXPECT_EQ(Text(scrolling).size(), 20u);
  int caretColumns = 0;
  for (int x = 0; x < 60; ++x) caretColumns += Pixel(scrolling, x, 1) == kBlack;
  EXPECT_EQ(caretColumns, 1) << "only the caret reaches the top row";
  Key(scrolling, VK_HOME);
  EXPECT_EQ(Pixel(scrolling, 2, 8), kBlack) << "back at the start";
  EXPECT_EQ(Pixel(scrolling, 1, 8), kBlack) << "with the caret";
  DestroyWindow(scrolling);

  HWND fixed = MakeEdit(ES_LEFT, 60, 20);
  Type(fixed, u"abcdefghij");
  EXPECT_EQ(Text(fixed), u"abcdefg") << "without scrolling only what fits the 56-pixel box is taken";
  std::vector<int> codes = Codes(WM_COMMAND, fixed);
  EXPECT_NE(std::find(codes.begin(), codes.end(), EN_MAXTEXT), codes.end());
}

TEST_F(Edit, MultiLineWrapsAtSpaces) {
  struct Row {
    const char16_t* text;
    int lines;
  } rows[] = {
      {u"", 1},
      {u"aaaa bbbb", 1},
      {u"aaaa bbbb cccc dddd", 2},
      {u"abcdefghijklmnopqrstuvwxyz", 3},
      {u"one\r\ntwo", 2},
      {u"end\r\n", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text, row.text + std::char_traits<char16_t>::length(row.text)));
    HWND edit = MakeEdit(ES_MULTILINE | ES_RIGHT | ES_AUTOVSCROLL | ES_READONLY, 100, 40, row.text);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), row.lines);
    DestroyWindow(edit);
  }
  HWND edit = MakeEdit(ES_MULTILINE | ES_RIGHT | ES_AUTOVSCROLL, 100, 40, u"aaaa bbbb ccccc dd");
  EXPECT_EQ(Pixel(edit, 98 - 72, 1 + 7), kBlack) << "the first line, right-aligned";
  EXPECT_EQ(Pixel(edit, 98 - 72 - 1, 1 + 7), kWhite);
  EXPECT_EQ(Pixel(edit, 98 - 64, 17 + 7), kBlack) << "the second line, right-aligned";
  EXPECT_EQ(Pixel(edit, 98 - 72, 17 + 7), kWhite);
  DestroyWindow(edit);

  HWND low = MakeEdit(ES_MULTILINE | ES_RIGHT | ES_AUTOVSCROLL, 100, 20, u"aaaa bbbb ccccc dd");
  EXPECT_EQ(Pixel(low, 98 - 72, 1 + 7), kBlack);
  SendMessageW(low, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(SendMessageW(low, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  EXPECT_EQ(Pixel(low, 98 - 72, 1 + 7), kWhite) << "the second line on top";
  EXPECT_EQ(Pixel(low, 98 - 64, 1 + 7), kBlack);
  SendMessageW(low, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(SendMessageW(low, EM_GETFIRSTVISIBLELINE, 0, 0), 1) << "no further than the last line";
}

TEST_F(Edit, TapsPlaceTheCaretAndDragsSelect) {
  HWND edit = MakeEdit(ES_LEFT | ES_AUTOHSCROLL, 100, 20, u"hello world");
  Tap(edit, 2 + 8 * 3 + 2, 8);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{3}, DWORD{3}));
  Down(edit, 2 + 8, 8);
  Move(edit, 2 + 8 * 4 - 1, 8);
  Up(edit, 2 + 8 * 4 - 1, 8);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{1}, DWORD{4}));
  SendMessageW(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2 + 8 * 7, 8));
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{6}, DWORD{11})) << "a double tap selects the word";
}

TEST_F(Edit, FontIsKeptButNotOwned) {
  HWND edit = MakeEdit(ES_LEFT, 100, 20, u"abc");
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), fixed_);
  LOGFONTW lf{};
  lf.lfHeight = 20;
  HFONT gone = CreateFontIndirectW(&lf);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(gone), TRUE);
  DeleteObject(gone);
  Pixel(edit, 0, 0);  // paints with a dead font: falls back, no crash
  Type(edit, u"d");
  EXPECT_EQ(Text(edit), u"dabc");
}

}  // namespace
