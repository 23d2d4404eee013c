// The menu bar and the command bar: where they stand, their menus opened by
// taps and keys, their toolbar buttons, tooltips and close button, and what
// they refuse.
#include "bar_fixture.h"

namespace {

constexpr COLORREF kFace = RGB(224, 224, 224);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kSeparatorRow = 5;
// Positions of the separators in the "&Go" pop-up.
constexpr int kGoSeparators[] = {2, 5, 10, 13, 16};

int ItemHeight() {
  HDC dc = GetDC(nullptr);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 2;
}

// Screen rows of the pop-up's items, given where the pop-up stands.
RECT Row(const RECT& popup, int index, const std::vector<int>& separators) {
  int y = popup.top + 1;
  auto isSeparator = [&](int i) { return std::find(separators.begin(), separators.end(), i) != separators.end(); };
  for (int i = 0; i < index; ++i) y += isSeparator(i) ? kSeparatorRow : ItemHeight();
  return {popup.left + 1, y, popup.right - 1, y + (isSeparator(index) ? kSeparatorRow : ItemHeight())};
}
RECT GoRow(const RECT& popup, int index) {
  return Row(popup, index, {std::begin(kGoSeparators), std::end(kGoSeparators)});
}
POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

RECT ButtonOnScreen(HWND bar, int index) {
  RECT r{0, 0, 0, 0};
  EXPECT_TRUE(SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
  POINT origin{0, 0};
  ClientToScreen(bar, &origin);
  return {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

void Tap(const RECT& r) {
  POINT p = Middle(r);
  TestTap(p.x, p.y);
}

// The mark column of a row: the ink of a check or radio mark.
RECT MarkArea(const RECT& row) { return {row.left, row.top, row.left + 18, row.bottom}; }

using MenuBarTest = MenusTest;

TEST_F(MenuBarTest, StandsAtTheBottomWithTheMenusAndTheButtons) {
  HWND bar = MakeMenuBar();
  ASSERT_NE(bar, nullptr);
  RECT r = Rect(bar);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 294);
  EXPECT_EQ(r.right, 240);
  EXPECT_EQ(r.bottom, 320);
  EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 8);

  HMENU go = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40001));
  HMENU korvel = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40003));
  EXPECT_EQ(GetMenuItemCount(go), 18);
  EXPECT_EQ(GetMenuItemCount(korvel), 6);
  EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 109), 0) << "a toolbar button has no pop-up";

  // The drop-down buttons first, named by the strings, then the six images.
  RECT goButton = ButtonOnScreen(bar, 0), korvelButton = ButtonOnScreen(bar, 1);
  EXPECT_LT(goButton.right, korvelButton.right);
  EXPECT_GT(korvelButton.right - korvelButton.left, goButton.right - goButton.left) << "\"Korvel\" is wider";
  for (int i = 2; i < 8; ++i) {
    SCOPED_TRACE(i);
    RECT b = ButtonOnScreen(bar, i);
    EXPECT_EQ(b.left, i == 2 ? korvelButton.right : ButtonOnScreen(bar, i - 1).right);
    EXPECT_EQ(b.right - b.left, 22);
    // Each image: its ink on the bar's face, the grey ground let through.
    EXPECT_GT(Count(b, RGB(0, 0, 128)) + Count(b, kBlack), 8);
    EXPECT_EQ(Count(b, RGB(192, 192, 192)), 0);
  }
  EXPECT_GT(Ink(goButton, kFace), 10) << "the text";
  EXPECT_EQ(Pixel(236, 310), kFace);
  EXPECT_EQ(Pixel(236, 294), RGB(128, 128, 128)) << "the line along the top";

  // WM_SIZE-free: the bar is owned by the main window and stays above it.
  EXPECT_EQ(GetWindow(bar, GW_OWNER), main_);
  SetForegroundWindow(main_);
  TestPumpMessages();
  EXPECT_EQ(Pixel(236, 310), kFace);
}

TEST_F(MenuBarTest, ATapOpensThePopupAndATapChoosesAnItem) {
  HWND bar = MakeMenuBar();
  HMENU go = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40001));
  CheckMenuItem(go, 122, MF_BYCOMMAND | MF_CHECKED);
  RECT goButton = ButtonOnScreen(bar, 0);
  RECT popup{}, reverse{}, bookmark{};
  Drive({
      [&] { Tap(goButton); },
      [&] {
        HWND p = Shown(u"MenuPopup");
        ASSERT_NE(p, nullptr);
        popup = Rect(p);
        EXPECT_EQ(popup.bottom, 294) << "above the bar";
        EXPECT_LE(popup.left, goButton.left);
        EXPECT_LE(popup.right, 240);
        EXPECT_EQ(initPopups, std::vector<HMENU>{go});
        EXPECT_GT(Count(goButton, kBlue), 20) << "the open menu's button is lit";
        reverse = GoRow(popup, 4);
        bookmark = GoRow(popup, 7);
        EXPECT_GT(Count(MarkArea(reverse), kBlack), 12) << "Reverse's check mark";
        EXPECT_EQ(Count(MarkArea(bookmark), kBlack), 0);
        EXPECT_EQ(Count(reverse, kBlue), 0) << "nothing selected yet";
        POINT m = Middle(reverse);
        Press(m.x, m.y);
      },
      [&] {
        EXPECT_EQ(Pixel(reverse.right - 2, reverse.top + 1), kBlue) << "the pressed item is lit";
        EXPECT_GT(Count(MarkArea(reverse), kWhite), 12) << "its mark turns white";
        EXPECT_EQ(Pixel(bookmark.right - 2, bookmark.top + 1), kWhite);
        EXPECT_TRUE(commands.empty());
        POINT m = Middle(reverse);
        Release(m.x, m.y);
      },
      [&] {
        EXPECT_EQ(Shown(u"MenuPopup"), nullptr);
        EXPECT_EQ(Count(goButton, kBlue), 0);
      },
  });
  EXPECT_EQ(commands, std::vector<UINT>{122});
  EXPECT_EQ(commandFrom, std::vector<LPARAM>{0});
}

TEST_F(MenuBarTest, ShortcutsStandAtTheRightOfTheirItems) {
  HWND bar = MakeMenuBar();
  RECT popup{};
  Drive({
      [&] { Tap(ButtonOnScreen(bar, 0)); },
      [&] {
        popup = Rect(Shown(u"MenuPopup"));
        RECT font = GoRow(popup, 3), about = GoRow(popup, 0);
        // "F&ont\bCtrl+F": text by the mark column and text ending 8 pixels
        // from the right edge; "&About" has nothing at the right.
        RECT right{font.right - 30, font.top, font.right - 8, font.bottom};
        RECT beyond{font.right - 7, font.top, font.right, font.bottom};
        EXPECT_GT(Count(right, kWhite), 0);
        EXPECT_LT(Count(right, kWhite), (right.right - right.left) * (right.bottom - right.top)) << "ink";
        EXPECT_EQ(Count(beyond, kWhite), (beyond.right - beyond.left) * (beyond.bottom - beyond.top));
        RECT aboutRight{about.right - 30, about.top, about.right, about.bottom};
        EXPECT_EQ(Count(aboutRight, kWhite), (aboutRight.right - aboutRight.left) * (aboutRight.bottom - aboutRight.top));
        TestKey("ESCAPE");
      },
  });
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuBarTest, TappingElsewhereClosesOrSwitchesTheMenu) {
  HWND bar = MakeMenuBar();
  HMENU go = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40001));
  HMENU korvel = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40003));
  CheckMenuRadioItem(korvel, 401, 434, 412, MF_BYCOMMAND);
  Drive({
      [&] { Tap(ButtonOnScreen(bar, 0)); },
      [&] { Tap(ButtonOnScreen(bar, 1)); },
      [&] {
        HWND p = Shown(u"MenuPopup");
        ASSERT_NE(p, nullptr);
        RECT popup = Rect(p);
        EXPECT_EQ(popup.left, ButtonOnScreen(bar, 1).left) << "Korvel's pop-up replaced Go's";
        for (int i = 0; i < 6; ++i) {
          SCOPED_TRACE(i);
          RECT row = Row(popup, i, {});
          POINT dot = {row.left + 9, (row.top + row.bottom) / 2};
          EXPECT_EQ(Pixel(dot.x, dot.y), i == 2 ? kBlack : kWhite) << "the radio mark of 1/2";
        }
        Tap(ButtonOnScreen(bar, 1));
      },
      [&] {
        EXPECT_EQ(Shown(u"MenuPopup"), nullptr) << "its own button closes it";
        Tap(ButtonOnScreen(bar, 0));
      },
      [&] {
        EXPECT_NE(Shown(u"MenuPopup"), nullptr);
        TestTap(120, 10);
      },
      [&] { EXPECT_EQ(Shown(u"MenuPopup"), nullptr) << "a tap outside closes it"; },
  });
  EXPECT_EQ(initPopups, (std::vector<HMENU>{go, korvel, go}));
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuBarTest, TheKeyboardOpensMovesAndChooses) {
  MakeMenuBar();
  const struct {
    const char* name;
    std::vector<const char*> keys;
    std::vector<UINT> commands;
  } cases[] = {
      {"Alt, down twice over the separator, Return", {"MENU", "DOWN", "DOWN", "RETURN"}, {40006}},
      {"up wraps to the last item", {"MENU", "UP", "RETURN"}, {40005}},
      {"right to the next menu and back", {"MENU", "RIGHT", "RETURN"}, {414}},
      {"left wraps to the last menu", {"MENU", "LEFT", "DOWN", "RETURN"}, {413}},
      {"a mnemonic chooses at once", {"MENU", "V"}, {122}},
      {"Escape closes", {"MENU", "DOWN", "ESCAPE"}, {}},
      {"Alt again closes", {"MENU", "MENU"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    commands.clear();
    std::vector<std::function<void()>> steps;
    for (const char* key : c.keys) steps.push_back([key] { ASSERT_TRUE(TestKey(key)); });
    steps.push_back([] { EXPECT_EQ(Shown(u"MenuPopup"), nullptr); });
    Drive(steps);
    EXPECT_EQ(commands, c.commands);
  }
}

TEST_F(MenuBarTest, TheKeyboardSelectionIsLit) {
  MakeMenuBar();
  Drive({
      [] { TestKey("MENU"); },
      [] {
        RECT popup = Rect(Shown(u"MenuPopup"));
        EXPECT_EQ(Pixel(GoRow(popup, 0).right - 2, GoRow(popup, 0).top + 1), kBlue);
        TestKey("DOWN");
      },
      [] {
        RECT popup = Rect(Shown(u"MenuPopup"));
        EXPECT_EQ(Pixel(GoRow(popup, 0).right - 2, GoRow(popup, 0).top + 1), kWhite);
        EXPECT_EQ(Pixel(GoRow(popup, 1).right - 2, GoRow(popup, 1).top + 1), kBlue);
        TestKey("ESCAPE");
      },
  });
}

// Both bars carry the same toolbar buttons; each sends its command on release.
TEST_F(MenusTest, ToolbarButtonsSendTheirCommands) {
  for (bool menuBar : {true, false}) {
    SCOPED_TRACE(menuBar ? "menu bar" : "command bar");
    HWND bar = menuBar ? MakeMenuBar() : MakeCommandBar(false);
    const int first = 2;  // after the two menu buttons
    commands.clear();
    commandFrom.clear();
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 6; ++i) steps.push_back([=] { Tap(ButtonOnScreen(bar, first + i)); });
    Drive(steps);
    EXPECT_EQ(commands, (std::vector<UINT>{110, 119, 109, 40006, 116, 117}));
    EXPECT_EQ(commandFrom, std::vector<LPARAM>(6, reinterpret_cast<LPARAM>(bar)));
    DestroyWindow(bar);
  }
}

TEST_F(MenusTest, APressedButtonIsLitUntilTheFingerSlidesOff) {
  HWND bar = MakeMenuBar();
  RECT search = ButtonOnScreen(bar, 6);
  POINT m = Middle(search);
  Drive({
      [&] { Press(m.x, m.y); },
      [&] {
        EXPECT_GT(Count(search, kBlue), 200) << "lit";
        Move(m.x, 200);
      },
      [&] {
        EXPECT_EQ(Count(search, kBlue), 0) << "off the button";
        Move(m.x, m.y);
      },
      [&] {
        EXPECT_GT(Count(search, kBlue), 200) << "back on it";
        Move(m.x + 30, m.y);
      },
      [&] { Release(m.x + 30, m.y); },
      [&] { EXPECT_EQ(Count(search, kBlue), 0); },
  });
  EXPECT_TRUE(commands.empty()) << "released off the button";
}

// Tip entry 0 is the menu's, so button k shows entry k + 1.
TEST_F(MenusTest, ATipShowsAfterAHold) {
  const struct {
    const char* name;
    bool menuBar;
    int button;
    const char16_t* tip;
    bool slideOff;
  } cases[] = {
      {"menu bar, let go on the button", true, 3, u"Choose Article", false},
      {"menu bar, slid off first", true, 3, u"Choose Article", true},
      {"command bar, the first button", false, 2, u"Previous Article", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    commands.clear();
    HWND bar = c.menuBar ? MakeMenuBar() : MakeCommandBar(false);
    RECT button = ButtonOnScreen(bar, c.button);
    POINT m = Middle(button);
    // The headless clock moves 20 ms with each piece of input.
    Drive({
        [&] {
          Press(m.x, m.y);
          for (int i = 0; i < 24; ++i) Move(m.x, m.y);
        },
        [&] {
          EXPECT_EQ(Shown(u"ToolTip"), nullptr) << "not yet half a second";
          Move(m.x, m.y);
        },
        [&] {
          HWND tip = Shown(u"ToolTip");
          ASSERT_NE(tip, nullptr);
          WCHAR text[32] = {};
          GetWindowTextW(tip, text, 32);
          EXPECT_EQ(std::u16string(text), c.tip);
          RECT r = Rect(tip), on = Rect(bar);
          if (c.menuBar) {
            EXPECT_LE(r.bottom, on.top) << "above the bar";
          } else {
            EXPECT_GE(r.top, on.bottom) << "below the bar";
          }
          EXPECT_EQ(Pixel(r.left + 2, r.top + 2), RGB(255, 255, 225));
          if (c.slideOff) Move(m.x, 150);
          Release(m.x, c.slideOff ? 150 : m.y);
        },
        [&] { EXPECT_EQ(Shown(u"ToolTip"), nullptr); },
    });
    std::vector<UINT> sent{static_cast<UINT>(kAppButtons[c.button - 2].idCommand)};
    EXPECT_EQ(commands, c.slideOff ? std::vector<UINT>{} : sent);
    DestroyWindow(bar);
  }
}

using CommandBarTest = MenusTest;

TEST_F(CommandBarTest, StandsAtTheTopOfTheWindowWithTheMenu) {
  HWND bar = MakeCommandBar(true);
  EXPECT_EQ(CommandBar_Height(bar), 26);
  RECT r = Rect(bar);
  RECT client = ClientOnScreenOf(main_);
  EXPECT_EQ(r.top, client.top);
  EXPECT_EQ(r.left, client.left);
  EXPECT_EQ(r.right, client.right);
  EXPECT_EQ(GetParent(bar), main_);
  EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 9) << "two menus, six buttons, the close button";
  HMENU menu = CommandBar_GetMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  // The app's checks by command on the whole menu reach the pop-ups.
  EXPECT_EQ(CheckMenuItem(menu, 123, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_TRUE(CheckMenuRadioItem(menu, 401, 434, 401, MF_BYCOMMAND));

  RECT close = ButtonOnScreen(bar, 8);
  EXPECT_EQ(close.right, client.right - 2);
  EXPECT_GT(Ink(close, kFace), 20);
  Drive({
      [&] { Tap(ButtonOnScreen(bar, 1)); },
      [&] {
        HWND p = Shown(u"MenuPopup");
        ASSERT_NE(p, nullptr);
        RECT popup = Rect(p);
        EXPECT_EQ(popup.top, r.bottom) << "below the bar";
        RECT none = Row(popup, 5, {});
        EXPECT_EQ(Pixel(none.left + 9, (none.top + none.bottom) / 2), kBlack) << "None's radio mark";
        Tap(Row(popup, 1, {}));
      },
  });
  EXPECT_EQ(commands, std::vector<UINT>{413});
}

TEST_F(CommandBarTest, TheCloseButtonClosesTheParent) {
  HWND bar = MakeCommandBar(true);
  RECT close = ButtonOnScreen(bar, 8);
  Drive({[&] { Tap(close); }});
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(IsWindow(main_));
  EXPECT_FALSE(IsWindow(bar));
}

TEST_F(MenusTest, CallsOnWrongHandlesAndWrongResourcesAreRefused) {
  HWND plain = CreateWindowExW(0, u"MenusTestMain", u"", WS_CHILD, 0, 0, 10, 10, main_, nullptr, nullptr, nullptr);
  for (HWND bad : {HWND(nullptr), plain, reinterpret_cast<HWND>(0x1234)}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(bad));
    EXPECT_EQ(CommandBar_Height(bad), 0);
    EXPECT_FALSE(CommandBar_InsertMenubar(bad, nullptr, 102, 0));
    EXPECT_FALSE(CommandBar_AddToolTips(bad, 7, kAppTips));
    EXPECT_EQ(CommandBar_AddBitmap(bad, nullptr, 114, 6, 16, 16), -1);
    EXPECT_FALSE(CommandBar_AddButtons(bad, 6, kAppButtons));
    EXPECT_FALSE(CommandBar_AddAdornments(bad, 0, 0));
    EXPECT_FALSE(CommandBar_Show(bad, TRUE));
    EXPECT_EQ(CommandBar_GetMenu(bad, 0), nullptr);
    CommandBar_Destroy(bad);
  }
  EXPECT_TRUE(IsWindow(plain));
  EXPECT_EQ(CommandBar_Create(nullptr, nullptr, 1), nullptr);

  HWND bar = CommandBar_Create(nullptr, main_, 1);
  EXPECT_FALSE(CommandBar_InsertMenubar(bar, nullptr, 999, 0)) << "no such menu";
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 999, 6, 16, 16), -1) << "no such bitmap";
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 114, 6, 32, 32), -1) << "only 16 x 16";
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 114, 0, 16, 16), -1);
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 114, 60, 16, 16), 0) << "as many as the strip holds";
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 114, 6, 16, 16), 6);
  EXPECT_FALSE(CommandBar_AddButtons(bar, 3, nullptr));
  EXPECT_TRUE(CommandBar_AddToolTips(bar, 3, nullptr));
  const TBBUTTON odd[] = {{99, 1, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}, {-5, 2, TBSTATE_ENABLED, 0, 0, 0},
                          {500, 3, 0, TBSTYLE_SEP, 0, 0}};
  EXPECT_TRUE(CommandBar_AddButtons(bar, 3, odd)) << "images out of range draw nothing";
  TestPumpMessages();
  CommandBar_Destroy(bar);
  EXPECT_FALSE(IsWindow(bar));
}

TEST_F(MenusTest, SHCreateMenuBarRefusesBadRecordsAndDescriptions) {
  std::vector<PackResource> resources = AppResources();
  auto words = [](std::initializer_list<unsigned> w) {
    std::vector<uint8_t> out;
    for (unsigned v : w) out.push_back(static_cast<uint8_t>(v)), out.push_back(static_cast<uint8_t>(v >> 8));
    return out;
  };
  resources.push_back({10, 201, words({102, 1, 0xFFFE, 1, 4, 0x18, 302, 0, 2})});  // pop-up 2 of two
  resources.push_back({10, 202, words({102, 2, 0xFFFE, 1, 4, 0x18, 302, 0, 0})});  // one button short
  resources.push_back({10, 203, words({999, 0})});                                   // no such menu
  resources.push_back({10, 204, words({102, 0})});                                   // no buttons
  ASSERT_TRUE(TestUseResources(resources));
  const struct {
    const char* name;
    DWORD size;
    bool parent;
    UINT id;
    DWORD flags;
    bool ok;
  } cases[] = {
      {"the app's", 32, true, 102, SHCMBF_HIDESIPBUTTON, true},
      {"the platform's record size", sizeof(SHMENUBARINFO), true, 102, 0, true},
      {"no buttons", 32, true, 204, 0, true},
      {"empty bar, no description needed", 32, true, 999, SHCMBF_EMPTYBAR, true},
      {"wrong size", 28, true, 102, 0, false},
      {"no parent", 32, false, 102, 0, false},
      {"no description", 32, true, 999, 0, false},
      {"bad pop-up index", 32, true, 201, 0, false},
      {"count past the end", 32, true, 202, 0, false},
      {"no such menu", 32, true, 203, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SHMENUBARINFO info{};
    info.cbSize = c.size;
    info.hwndParent = c.parent ? main_ : nullptr;
    info.nToolBarId = c.id;
    info.dwFlags = c.flags;
    info.hwndMB = reinterpret_cast<HWND>(0x77);
    HWND stale = info.hwndMB;
    EXPECT_EQ(SHCreateMenuBar(&info) != 0, c.ok);
    EXPECT_EQ(info.hwndMB != nullptr && info.hwndMB != stale, c.ok);
    if (c.ok) {
      EXPECT_EQ(Rect(info.hwndMB).top, 294);
      DestroyWindow(info.hwndMB);
    }
  }
  EXPECT_FALSE(SHCreateMenuBar(nullptr));
  EXPECT_EQ(FindWindowW(u"MenuBar", nullptr), nullptr);
}

TEST_F(MenusTest, AHiddenMenuBarShowsWhenAsked) {
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = main_;
  info.nToolBarId = 102;
  info.dwFlags = SHCMBF_HIDDEN;
  info.nBmpId = 114;
  info.cBmpImages = 6;
  ASSERT_TRUE(SHCreateMenuBar(&info));
  EXPECT_FALSE(IsWindowVisible(info.hwndMB));
  EXPECT_TRUE(CommandBar_Show(info.hwndMB, TRUE));
  EXPECT_TRUE(IsWindowVisible(info.hwndMB));
  const TBBUTTON first[] = {{0, 7, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, 0}};
  EXPECT_TRUE(CommandBar_AddButtons(info.hwndMB, 1, first));
  TestPumpMessages();
  RECT b = ButtonOnScreen(info.hwndMB, 2);
  EXPECT_GT(Count(b, RGB(0, 0, 128)), 8) << "the bar's own bitmap gives image 0";
}

// The app destroys its window, and so the bars, from the commands they send.
TEST_F(MenusTest, BarsDestroyedByTheirOwnCommandsAreSafe) {
  onCommand = [&](UINT) { DestroyWindow(main_); };
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    if (round > 0) main_ = MakeMain();
    HWND bar = round == 2 ? MakeCommandBar(true) : MakeMenuBar();
    std::vector<std::function<void()>> steps{[&] { Tap(ButtonOnScreen(bar, round == 0 ? 0 : 4)); }};
    if (round == 0) steps.push_back([&] { Tap(GoRow(Rect(Shown(u"MenuPopup")), 17)); });
    Drive(steps);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_FALSE(IsWindow(bar));
  }
}

}  // namespace
