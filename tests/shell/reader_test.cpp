// The reader from start to exit: the first start and what it writes, a
// stored side that is missing, the accelerator keys, the About box and the
// update check.
#include <string>
#include <vector>

#include "reader_fixture.h"

namespace {

std::string Ascii(const char16_t* text) {
  std::string s;
  for (; *text != 0; ++text) s.push_back(static_cast<char>(*text));
  return s;
}

// Pixels of a colour in a client rectangle.
int CountColour(const RECT& r, COLORREF colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += Reader::At(x, y) == colour;
  return n;
}

HWND ShownBox() {
  HWND box = FindWindowW(u"MessageBox", nullptr);
  return box != nullptr && IsWindowVisible(box) ? box : nullptr;
}

}  // namespace

TEST_F(Reader, AFirstStartShowsSideOneAndWritesTheSettingsAtExit) {
  int code = Run({[&] {
    EXPECT_EQ(RegistryValueNames(RegistryFile()), std::vector<std::string>{"Program Path"})
        << "only the program's path is written at start";
    WCHAR path[260] = {};
    GetModuleFileNameW(nullptr, path, 260);
    auto stored = Get(SETTINGS_KEY, u"Program Path");
    EXPECT_EQ(stored.first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.second, Text(path));

    EXPECT_EQ(CurrentArticle, 1);
    EXPECT_EQ(Flags, 0xD1140040u);
    EXPECT_EQ(BottomSection, 12);
    EXPECT_EQ(FontSpec.letterBase, 1488);
    EXPECT_EQ(FontSpec.size, 0);
    EXPECT_EQ(FontSpec.faceName[0], 0);
    EXPECT_EQ(SearchString[0], 0);
    EXPECT_EQ(BookmarkList, nullptr);
    ASSERT_NE(MainView, nullptr);
    ASSERT_NE(CommentaryView, nullptr);
    EXPECT_TRUE(Shows(MainView, 1));
    EXPECT_TRUE(Shows(CommentaryView, 2));
    EXPECT_EQ(MainView->topLine, 0);
    EXPECT_EQ(CommentaryView->topLine, 0);
    EXPECT_TRUE(MenuBarMode);
    EXPECT_TRUE(Checked(IDM_RATIO_1_2));
    EXPECT_FALSE(Checked(IDM_REVERSE));
    EXPECT_FALSE(Checked(IDM_BOOKMARK));
    EXPECT_TRUE(TestMessageBoxes().empty());
    // Both panes carry text: ink on white above, ink on the band below.
    RECT main = ViewRect(MainView), lower = ViewRect(CommentaryView);
    int area = (main.right - main.left) * (main.bottom - main.top);
    EXPECT_LT(CountColour(main, kWhite), area * 97 / 100);
    EXPECT_GT(CountColour(main, kWhite), area / 2);
    int lowerArea = (lower.right - lower.left) * (lower.bottom - lower.top);
    EXPECT_LT(CountColour(lower, kBand), lowerArea * 97 / 100);
    EXPECT_GT(CountColour(lower, kBand), lowerArea / 2);
    SaveForDocs("reader-menubar.png");
  }});
  EXPECT_EQ(code, 0);

  EXPECT_EQ(RegistryValueNames(RegistryFile()),
            (std::vector<std::string>{"Program Path", "FontAsciiBase", "LastPosition", "Flags", "Lesson",
                                      "BottomSection", "BottomSectionLastPosition", "Bookmarks"}));
  EXPECT_EQ(StoredNumber(u"FontAsciiBase"), 1488);
  EXPECT_EQ(StoredNumber(u"LastPosition"), 0);
  EXPECT_EQ(StoredNumber(u"Flags"), 0xD1140040);
  EXPECT_EQ(StoredNumber(u"Lesson"), 1);
  EXPECT_EQ(StoredNumber(u"BottomSection"), 12);
  EXPECT_EQ(StoredNumber(u"BottomSectionLastPosition"), 0);
  EXPECT_EQ(StoredBytes(u"Bookmarks"), (std::vector<uint8_t>{0, 0}));
}

// The state of the last run comes back, and goes out again as it came; a
// position past the end of its article is pulled back by the first paint.
TEST_F(Reader, AStartRestoresWhatTheLastExitWrote) {
  PutSetting(u"Lesson", 7);
  PutSetting(u"LastPosition", 500);
  PutSetting(u"BottomSectionLastPosition", 4);
  PutSetting(u"BottomSection", 13);
  PutSetting(u"Flags", 0xD1140840);
  PutSetting(u"FontSize", 14);
  Put(SETTINGS_KEY, u"SearchString", REG_BINARY, {'a', 'b', 'c', 0});
  Put(SETTINGS_KEY, u"Bookmarks", REG_BINARY, {7, 0, 3, 0, 0, 0});
  WORD lastLine = 0;
  int code = Run({[&] {
    EXPECT_EQ(CurrentArticle, 7);
    EXPECT_TRUE(Shows(MainView, 7));
    EXPECT_TRUE(Shows(CommentaryView, 8));
    EXPECT_EQ(MainView->topLine, MainView->maxTopLine) << "500 lines is past the end";
    EXPECT_GT(MainView->maxTopLine, 0);
    EXPECT_EQ(CommentaryView->topLine, 4);
    EXPECT_EQ(BottomSection, 13);
    EXPECT_TRUE(Checked(IDM_RATIO_1_3));
    EXPECT_FALSE(Checked(IDM_RATIO_1_2));
    EXPECT_TRUE(Checked(IDM_REVERSE));
    EXPECT_TRUE(Checked(IDM_BOOKMARK));
    EXPECT_EQ(FontSpec.size, 14);
    EXPECT_STREQ(SearchString, "abc");
    lastLine = MainView->maxTopLine;
  }});
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredNumber(u"Lesson"), 7);
  EXPECT_EQ(StoredNumber(u"LastPosition"), lastLine);
  EXPECT_EQ(StoredNumber(u"BottomSectionLastPosition"), 4);
  EXPECT_EQ(StoredNumber(u"BottomSection"), 13);
  EXPECT_EQ(StoredNumber(u"Flags"), 0xD1140840);
  EXPECT_EQ(StoredNumber(u"FontSize"), 14);
  EXPECT_EQ(StoredBytes(u"SearchString"), (std::vector<uint8_t>{'a', 'b', 'c', 0}));
  EXPECT_EQ(StoredBytes(u"Bookmarks"), (std::vector<uint8_t>{7, 0, 3, 0, 0, 0}));
}

// A stored side that the book does not have: the message at start, then
// keys, taps and commands on the empty panes do no harm, and the reader can
// still step to a side that exists.
TEST_F(Reader, AMissingStoredSideIsReportedAndTheReaderGoesOn) {
  PutSetting(u"Lesson", 230);
  PutSetting(u"LastPosition", 3);
  int code = Run({
      [&] {
        ASSERT_EQ(TestMessageBoxes().size(), 1u);
        const MessageBoxRecord& box = TestMessageBoxes()[0];
        EXPECT_EQ(box.text, u"Resource not found");
        EXPECT_EQ(box.caption, u"Error");
        EXPECT_TRUE(box.hasCaption);
        EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(box.owner, MainWindow);
        EXPECT_NE(ShownBox(), nullptr);
        TestKey("RETURN");
      },
      [&] {
        EXPECT_EQ(ShownBox(), nullptr);
        EXPECT_TRUE(IsWindowVisible(MainWindow));
        ASSERT_NE(MainView, nullptr);
        EXPECT_EQ(MainView->text, nullptr);
        EXPECT_EQ(MainView->topLine, 0) << "the position is not restored";
        EXPECT_EQ(CommentaryView->text, nullptr) << "no commentary is loaded";
        for (const char* key : {"VK_NEXT", "VK_PRIOR", "VK_DOWN", "VK_UP", "VK_END", "VK_HOME", "RETURN"})
          TestKey(key);
        TapAt(100, 40);
        TapAt(100, 200);
        SendMessageW(MainWindow, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(MainScrollBar));
        SendMessageW(MainWindow, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 9),
                     reinterpret_cast<LPARAM>(CommentaryScrollBar));
        for (UINT command : {IDM_REVERSE, IDM_REVERSE, IDM_RATIO_1_4, IDM_RATIO_NONE, IDM_RATIO_1_2})
          TestCommand(command);
      },
      [&] {
        EXPECT_EQ(TestMessageBoxes().size(), 1u);
        EXPECT_EQ(CurrentArticle, 230);
        EXPECT_EQ(Flags, 0xD1140040u);
        TestCommand(IDM_PREVIOUS_ARTICLE);  // 228 is past the last side: side 1
      },
      [&] {
        EXPECT_EQ(CurrentArticle, 1);
        EXPECT_TRUE(Shows(MainView, 1));
        EXPECT_TRUE(Shows(CommentaryView, 2));
        EXPECT_EQ(TestMessageBoxes().size(), 1u);
      },
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(StoredNumber(u"Lesson"), 1);
}

// The shortcuts shown in the menu reach the main window as their commands.
TEST_F(Reader, AcceleratorKeysSendTheirCommands) {
  struct Row {
    const char* key;
    UINT command;
  } rows[] = {{"Ctrl+D", IDM_INDEX}, {"F3", IDM_SEARCH_AGAIN}, {"Ctrl+F", IDM_FONT},
              {"Ctrl+C", IDM_COPY},  {"Ctrl+E", IDM_APPEND}};
  std::vector<UINT> commands;
  Watch([&](HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (window == MainWindow && MainWindow != nullptr && message == WM_COMMAND) commands.push_back(LOWORD(wParam));
  });
  std::vector<Step> steps;
  for (const Row& r : rows) {
    steps.push_back([&commands, r] {
      commands.clear();
      ASSERT_TRUE(TestKey(r.key));
    });
    steps.push_back([&commands, r] {
      SCOPED_TRACE(r.key);
      EXPECT_EQ(commands, std::vector<UINT>{r.command});
      EXPECT_TRUE(IsWindowVisible(MainWindow));
    });
  }
  EXPECT_EQ(Run(steps), 0);
}

// Ctrl+Q, "E&xit", the private message and a window change that asks for it
// end the reader by themselves, through the exit that saves; another window
// change does not, and the reader is closed when the input ends.
TEST_F(Reader, EveryWayOutEndsTheReaderAndSaves) {
  auto windowChanged = [](UINT flags) {
    return [flags] {
      WINDOWPOS position{};
      position.hwnd = MainWindow;
      position.flags = flags;
      SendMessageW(MainWindow, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    };
  };
  struct Row {
    const char* name;
    Step leave;
    bool byItself;
  } rows[] = {
      {"Ctrl+Q", [] { TestKey("Ctrl+Q"); }, true},
      {"Exit", [] { TestCommand(IDM_EXIT); }, true},
      {"message 0x3FF", [] { PostMessageW(MainWindow, 0x3FF, 0, 0); }, true},
      {"window change, high flags and no activation", windowChanged(0x10000 | SWP_NOACTIVATE), true},
      {"window change, no activation only", windowChanged(SWP_NOACTIVATE), false},
      {"window change, high flags only", windowChanged(0x10000), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    int closes = 0;
    Watch([&](HWND window, UINT message, WPARAM, LPARAM) {
      if (window == MainWindow && MainWindow != nullptr && message == WM_CLOSE) ++closes;
    });
    int code = Run({[] { TestCommand(IDM_NEXT_ARTICLE); }, r.leave});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(closes, r.byItself ? 0 : 1);
    EXPECT_EQ(StoredNumber(u"Lesson"), 3);
    EXPECT_EQ(StoredNumber(u"Flags"), 0xD1140040);
    std::filesystem::remove(RegistryFile());
    UseRegistryFile();
  }
}

// Alt+F3 is a command like the others, and letting Alt go after it opens no
// menu: only Alt pressed and released alone does.
TEST_F(Reader, AnAcceleratorWithAltLeavesNoMenuOpen) {
  std::vector<UINT> commands;
  Watch([&](HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (window == MainWindow && MainWindow != nullptr && message == WM_COMMAND) commands.push_back(LOWORD(wParam));
  });
  int code = Run({
      [] { TestKey("Alt+F3"); },
      [&] {
        EXPECT_EQ(commands, std::vector<UINT>{IDM_SEARCH});
        HWND menu = FindWindowW(u"MenuPopup", nullptr);
        EXPECT_FALSE(menu != nullptr && IsWindowVisible(menu)) << "a menu opened when Alt was let go";
        commands.clear();
        TestKey("F3");
      },
      [&] { EXPECT_EQ(commands, std::vector<UINT>{IDM_SEARCH_AGAIN}); },
  });
  EXPECT_EQ(code, 0);
}

// The About box from its command and from a help request: the link sized to
// its text, a tap on it opens the vendor's site and leaves the box open, OK
// closes it. Then the update check opens the update request.
TEST_F(Reader, AboutBoxAndUpdateCheck) {
  struct Opener {
    const char* name;
    Step open;
  } openers[] = {{"command", [] { TestCommand(IDM_ABOUT); }},
                 {"help request", [] { PostMessageW(MainWindow, WM_HELP, 0, 0); }}};
  std::vector<Step> steps;
  HWND dialog = nullptr;
  HFONT linkFont = nullptr;
  for (const Opener& o : openers) {
    steps.push_back(o.open);
    steps.push_back([&dialog, &linkFont, &o] {
      SCOPED_TRACE(o.name);
      dialog = GetActiveWindow();
      ASSERT_NE(dialog, MainWindow);
      ASSERT_EQ(TestModalLoops().size(), 1u);
      WCHAR title[32] = {};
      GetWindowTextW(dialog, title, 32);
      EXPECT_EQ(std::u16string(title), u"Lumora");
      EXPECT_EQ(GetParent(dialog), MainWindow);

      HWND link = GetDlgItem(dialog, IDC_VENDOR_LINK);
      ASSERT_NE(link, nullptr);
      HFONT font = reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0));
      ASSERT_NE(font, nullptr);
      linkFont = font;
      LOGFONTW description{};
      ASSERT_NE(GetObjectW(font, sizeof description, &description), 0);
      EXPECT_TRUE(description.lfUnderline);
      EXPECT_EQ(description.lfWeight, 800);
      EXPECT_NE(description.lfFaceName[0], 0);
      EXPECT_NE(description.lfHeight, 0);
      WCHAR text[101] = {};
      int length = GetWindowTextW(link, text, 100);
      EXPECT_EQ(std::string("https://") + Ascii(text), Ascii(VENDOR_SITE_URL));
      HDC dc = GetDC(link);
      SelectObject(dc, font);
      SIZE extent{};
      GetTextExtentExPointW(dc, text, length, 0, nullptr, nullptr, &extent);
      ReleaseDC(link, dc);
      RECT r{};
      GetWindowRect(link, &r);
      EXPECT_EQ(r.right - r.left, extent.cx + 2 * GetSystemMetrics(SM_CXEDGE));
      EXPECT_EQ(r.bottom - r.top, extent.cy + 2 * GetSystemMetrics(SM_CYEDGE));
      // Blue text on white.
      int blue = 0, white = 0;
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
          COLORREF c = TestScreenPixel(x, y);
          blue += c == RGB(0, 0, 255);
          white += c == kWhite;
        }
      EXPECT_GT(blue, 10);
      EXPECT_GT(white, (r.right - r.left) * (r.bottom - r.top) / 2);
      EXPECT_TRUE(OpenedUrls().empty());
      TestTap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    });
    steps.push_back([&dialog, &o] {
      SCOPED_TRACE(o.name);
      EXPECT_EQ(OpenedUrls(), std::vector<std::string>{Ascii(VENDOR_SITE_URL)});
      EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the box stays open";
      ClearOpenedUrls();
      // The caption's OK button, at its right end.
      RECT r{};
      GetWindowRect(dialog, &r);
      TestTap(r.right - 16, r.top + GetSystemMetrics(SM_CYCAPTION) / 2);
    });
    steps.push_back([&dialog, &linkFont, &o] {
      SCOPED_TRACE(o.name);
      EXPECT_FALSE(IsWindow(dialog));
      LOGFONTW gone{};
      EXPECT_EQ(GetObjectW(linkFont, sizeof gone, &gone), 0) << "the link font outlives its box";
      EXPECT_TRUE(TestModalLoops().empty());
      EXPECT_EQ(GetActiveWindow(), MainWindow);
      EXPECT_TRUE(OpenedUrls().empty());
    });
  }
  steps.push_back([] { TestCommand(IDM_CHECK_UPDATES); });
  steps.push_back([] {
    EXPECT_EQ(OpenedUrls(),
              std::vector<std::string>{Ascii(VENDOR_SITE_URL u"/cgi-bin/upgrade?p=arm/Varnatek/Lumora&v=1.84a")});
    EXPECT_TRUE(TestModalLoops().empty());
  });
  EXPECT_EQ(Run(steps), 0);
}

TEST(UpdateRequest, QueryTextIsEscapedAsTheServerWantsIt) {
  struct Row {
    const char16_t* text;
    const char16_t* escaped;
  } rows[] = {
      {u"Varnatek/Lumora", u"Varnatek/Lumora"},
      {u"a b", u"a+b"},
      {u"x-y", u"x%2Dy"},
      {u"p&q", u"p%26q"},
      {u"AZaz09./", u"AZaz09./"},
      {u"%_~=?", u"%25%5F%7E%3D%3F"},
      {u"\t", u"%09"},
      {u"\u05D0", u"%5D0"},
      {u"\uFB2A", u"%FB2A"},
      {u"", u""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Ascii(r.escaped));
    WCHAR url[200] = u"p=";
    int length = 2;
    EscapeQueryText(url, &length, r.text);
    EXPECT_EQ(std::u16string(url), u"p=" + std::u16string(r.escaped));
    EXPECT_EQ(length, static_cast<int>(std::u16string(url).size()));
  }
  // What does not fit the 200 units is dropped; the text stays terminated.
  WCHAR url[200] = {};
  int length = 0;
  EscapeQueryText(url, &length, std::u16string(150, u'-').c_str());
  EXPECT_EQ(length, 199);
  EXPECT_EQ(url[199], 0);
  EXPECT_EQ(std::u16string(url, 3), u"%2D");
}
