// Scenario files: what the parser accepts and refuses, and runs from input
// to screenshot.
#include <cstdio>
#include <filesystem>

#include "platform/backend/headless.h"
#include "platform/backend/scenario.h"
#include "window_fixture.h"

namespace {

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<std::string> errors;
};

class ScenarioParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ScenarioParse, ReportsEachBadLine) {
  const ParseCase& c = GetParam();
  Scenario s;
  std::vector<std::string> errors;
  EXPECT_EQ(ParseScenario(c.text, "t.scn", &s, &errors), c.errors.empty());
  EXPECT_EQ(errors, c.errors);
}

const ParseCase kParse[] = {
    {"Empty", "", {}},
    {"CommentsAndBlanks", "# a comment\n\n   \t\n  # indented\r\n", {}},
    {"EveryCommand",
     "tap 1 2\r\npress 0 0\nmove 32767 5\nrelease 3 4\nkey Ctrl+Alt+F3\nkey vk_next\nkey Shift+7\nchar a\\sb\n"
     "command 40006\nidle\nscreenshot out.png\nexpect window Probe|\nexpect window |Title\n"
     "expect window Lumora\nexpect messagebox Not Found!\nanswer no\nanswer 6\n",
     {}},
    {"TapOneNumber", "tap 10\n", {"t.scn:1: tap needs X and Y"}},
    {"TapTooFar", "\n\ntap 99999 1\n", {"t.scn:3: tap: coordinates are whole numbers from 0 to 32767"}},
    {"NegativePoint", "press -1 4", {"t.scn:1: press: coordinates are whole numbers from 0 to 32767"}},
    {"UnknownKey", "# c\nkey Hyper+Q\n", {"t.scn:2: unknown key 'Hyper+Q'"}},
    {"KeyWithoutName", "key Ctrl+", {"t.scn:1: unknown key 'Ctrl+'"}},
    {"TwoKeys", "key A B", {"t.scn:1: key needs one key name"}},
    {"F25", "key F25", {"t.scn:1: unknown key 'F25'"}},
    {"CharWithoutText", "char", {"t.scn:1: char needs text"}},
    {"BadEscape", "char \\q", {"t.scn:1: unknown escape in text (\\n, \\t, \\s and \\\\ are known)"}},
    {"NotUtf8", "char \xff\xfe", {"t.scn:1: text is not UTF-8"}},
    {"Overlong", "char \xc0\xaf", {"t.scn:1: text is not UTF-8"}},
    {"CommandTooBig", "command 70000", {"t.scn:1: command needs an id from 0 to 65535"}},
    {"IdleWithArgument", "idle now", {"t.scn:1: idle takes nothing"}},
    {"ScreenshotWithoutFile", "screenshot", {"t.scn:1: screenshot needs a file"}},
    {"ExpectNothing", "expect nothing", {"t.scn:1: expect needs 'window' or 'messagebox'"}},
    {"ExpectWindowBare", "expect window", {"t.scn:1: expect window needs a class or a title"}},
    {"AnswerMaybe", "answer MAYBE",
     {"t.scn:1: answer needs OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO or a number from 1"}},
    {"AnswerZero", "answer 0",
     {"t.scn:1: answer needs OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO or a number from 1"}},
    {"Unknown", "swipe 1 2 3 4", {"t.scn:1: unknown command 'swipe'"}},
    {"SeveralBadLines", "tap 1 2\nswipe\nkey A\nchar\n", {"t.scn:2: unknown command 'swipe'", "t.scn:4: char needs text"}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, ScenarioParse, ::testing::ValuesIn(kParse),
                         [](const ::testing::TestParamInfo<ParseCase>& i) { return std::string(i.param.name); });

TEST(ScenarioFile, ReadsWhatItSays) {
  Scenario s;
  std::vector<std::string> errors;
  EXPECT_FALSE(ParseScenario("key Ctrl+Alt+F3\nchar \\u05D0\nchar a\\sb\\n\nexpect window A|B\nexpect window C\n"
                             "answer yes\nscreenshot dir/x.png\n",
                             "t", &s, &errors));
  // "\u" is no escape: the second line is refused, the rest is read.
  EXPECT_EQ(errors.size(), 1u);
  ASSERT_EQ(s.commands.size(), 6u);
  EXPECT_EQ(s.commands[0].key, static_cast<UINT>(VK_F3));
  EXPECT_EQ(s.commands[0].modifiers, (std::vector<UINT>{VK_CONTROL, VK_MENU}));
  EXPECT_EQ(s.commands[1].text, u"a b\n");
  EXPECT_EQ(s.commands[1].line, 3);
  EXPECT_EQ(s.commands[2].className, u"A");
  EXPECT_EQ(s.commands[2].text, u"B");
  EXPECT_FALSE(s.commands[2].either);
  EXPECT_TRUE(s.commands[3].either);
  EXPECT_EQ(s.commands[4].key, static_cast<UINT>(IDYES));
  EXPECT_EQ(s.commands[5].path, "dir/x.png");

  errors.clear();
  EXPECT_FALSE(LoadScenarioFile(LUMORA_SOURCE_DIR "/tests/data/scenario/bad.scenario", &s, &errors));
  EXPECT_EQ(errors.size(), 7u);
  EXPECT_NE(errors[0].find("bad.scenario:1: "), std::string::npos);
  errors.clear();
  for (const char* good : {"basic.scenario", "drag.scenario"}) {
    SCOPED_TRACE(good);
    EXPECT_TRUE(LoadScenarioFile(std::string(LUMORA_SOURCE_DIR "/tests/data/scenario/") + good, &s, &errors));
    EXPECT_TRUE(errors.empty());
  }
  EXPECT_FALSE(LoadScenarioFile("/nonexistent/x.scenario", &s, &errors));
}

class ScenarioRun : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    folder = std::filesystem::temp_directory_path() /
             ("lumora-scenario-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    TestClearMessageBoxes();
    handler = [this](HWND h, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
      if (m == WM_LBUTTONDOWN) {
        colour = RGB(255, 0, 0);
        InvalidateRect(h, nullptr, FALSE);
      }
      if (m == WM_COMMAND && LOWORD(w) == 5) boxAnswers.push_back(MessageBoxW(h, u"Hello\nthere", u"T", MB_YESNO));
      if (m == WM_COMMAND && LOWORD(w) == 40005) DestroyWindow(h);
      if (m == WM_DESTROY) PostQuitMessage(0);
      if (m != WM_PAINT) return 0;
      *handled = true;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT all{0, 0, 240, 320};
      HBRUSH brush = CreateSolidBrush(colour);
      FillRect(dc, &all, brush);
      DeleteObject(brush);
      EndPaint(h, &ps);
      return 0;
    };
  }
  void TearDown() override {
    std::filesystem::remove_all(folder);
    TestClearMessageBoxes();
    WindowTest::TearDown();
  }
  void Use(const std::string& text) {
    Scenario s;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParseScenario(text, "run.scn", &s, &errors));
    s.folder = folder.string();
    HeadlessUseScenario(std::move(s));
  }
  std::filesystem::path folder;
  COLORREF colour = RGB(0, 0, 255);
  std::vector<int> boxAnswers;
};

TEST_F(ScenarioRun, InputChecksAndAScreenshot) {
  HWND main = Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  Use("expect window Probe|Main\ntap 120 160\nidle\nkey VK_NEXT\nchar hi\ncommand 77\nscreenshot shot.png\n"
      "expect window HHTaskBar\n");
  log.clear();
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_TRUE(HeadlessFinish());
  EXPECT_TRUE(TestScenarioErrors().empty());
  std::vector<std::string> got;
  for (const std::string& t : Trace({{main, "M"}}))
    if (t != "M:KEYUP" && t != "M:ACTIVATE(0)" && t != "M:KILLFOCUS") got.push_back(t);
  EXPECT_EQ(got, (std::vector<std::string>{"M:LBUTTONDOWN", "M:LBUTTONUP", "M:KEYDOWN", "M:CHAR", "M:CHAR",
                                           "M:COMMAND(77)", "M:CLOSE", "M:DESTROY"}));
  EXPECT_TRUE(std::filesystem::file_size(folder / "shot.png") > 100);
  const std::vector<uint32_t>& frame = TestPresentedFrame();
  ASSERT_EQ(frame.size(), 240u * 320u);
  EXPECT_EQ(frame[160 * 240 + 120], 0xFF0000u);
  EXPECT_EQ(frame[1 * 240 + 120], 0x000080u);  // the taskbar
}

TEST_F(ScenarioRun, AFailedCheckStopsTheInput) {
  Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  Use("\nexpect window Nothing|\ntap 120 160\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_FALSE(HeadlessFinish());
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(TestScenarioErrors(), std::vector<std::string>{"run.scn:2: no window Nothing| is shown"});
  EXPECT_NE(err.find("run.scn:2: "), std::string::npos);
  EXPECT_EQ(colour, RGB(0, 0, 255));  // the tap never came
}

TEST_F(ScenarioRun, MessageBoxesAreExpectedAndAnswered) {
  Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  Use("answer NO\ncommand 5\nexpect messagebox Hello\\nthere\nanswer YES\ncommand 5\n"
      "expect messagebox Hello\\nthere\nexpect messagebox Hello\\nthere\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunLoop(), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(boxAnswers, (std::vector<int>{IDNO, IDYES}));
  // Each box is matched once: the third check finds none left.
  EXPECT_EQ(TestScenarioErrors(), std::vector<std::string>{"run.scn:7: no message box \"Hello\nthere\" was shown"});
}

TEST_F(ScenarioRun, CommandsLeftWhenTheProgramEndsAreReported) {
  Make(u"Main", WS_VISIBLE, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  Use("command 40005\n# the program is gone now\ntap 1 1\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_FALSE(HeadlessFinish());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(TestScenarioErrors(), std::vector<std::string>{"run.scn:3: the program ended before this command"});
}

}  // namespace
