// Message boxes on the screen: their buttons answered by taps and keys, the
// owner held off meanwhile, boxes inside boxes, and the look.
#include "bar_fixture.h"

namespace {

constexpr int kButtonWidth = 64, kButtonHeight = 22, kGap = 8, kMargin = 8;

HWND TheBox() { return Shown(u"MessageBox"); }

// The screen rectangle of button i of n in the shown box.
RECT BoxButton(int i, int n) {
  RECT client = ClientOnScreenOf(TheBox());
  int row = n * kButtonWidth + (n - 1) * kGap;
  int left = client.left + (client.right - client.left - row) / 2 + i * (kButtonWidth + kGap);
  int top = client.bottom - kMargin - kButtonHeight;
  return {left, top, left + kButtonWidth, top + kButtonHeight};
}

struct ButtonSet {
  const char* name;
  UINT flags;
  std::vector<int> answers;  // button by button
  int enter;
  int escape;  // 0: Escape does nothing
  int runOut;
};

const ButtonSet kSets[] = {
    {"OK", MB_OK, {IDOK}, IDOK, IDOK, IDOK},
    {"OK Cancel", MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK, IDCANCEL, IDCANCEL},
    {"OK Cancel, second default", MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL, IDCANCEL},
    {"Yes No", MB_YESNO, {IDYES, IDNO}, IDYES, 0, IDNO},
    {"Yes No, second default", MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, 0, IDNO},
    {"Yes No Cancel", MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES, IDCANCEL, IDCANCEL},
    {"Yes No Cancel, second default", MB_YESNOCANCEL | MB_DEFBUTTON2, {IDYES, IDNO, IDCANCEL}, IDNO, IDCANCEL,
     IDCANCEL},
};

class MessageBoxTest : public MenusTest {
 protected:
  // Shows a box owned by the main window while the steps run, one each time
  // its loop waits; when they are over, the input ends.
  int Show(UINT flags, std::vector<std::function<void()>> steps, const char16_t* text = u"Remove Bookmark?") {
    size_t next = 0;
    TestSetIdleCallback([&] {
      if (next == steps.size()) return false;
      steps[next++]();
      return true;
    });
    int answer = MessageBoxW(main_, text, u"Bookmark", flags);
    TestSetIdleCallback(nullptr);
    EXPECT_EQ(next, steps.size()) << "the box went before every step ran";
    return answer;
  }
};

TEST_F(MessageBoxTest, EachButtonAnswersATap) {
  for (const ButtonSet& set : kSets) {
    for (size_t i = 0; i < set.answers.size(); ++i) {
      SCOPED_TRACE(testing::Message() << set.name << ", button " << i);
      int n = static_cast<int>(set.answers.size());
      int answer = Show(set.flags, {[&] {
                          ASSERT_NE(TheBox(), nullptr);
                          RECT b = BoxButton(static_cast<int>(i), n);
                          EXPECT_EQ(Pixel(b.left, b.top), RGB(0, 0, 0)) << "the button's frame";
                          TestTap((b.left + b.right) / 2, (b.top + b.bottom) / 2);
                        }});
      EXPECT_EQ(answer, set.answers[i]);
      EXPECT_EQ(TheBox(), nullptr);
    }
  }
}

TEST_F(MessageBoxTest, ReturnEscapeAndRunningOutOfInput) {
  for (const ButtonSet& set : kSets) {
    SCOPED_TRACE(set.name);
    EXPECT_EQ(Show(set.flags, {[] { TestKey("RETURN"); }}), set.enter) << "Return";
    EXPECT_EQ(Show(set.flags, {}), set.runOut) << "no input";
    if (set.escape != 0) {
      EXPECT_EQ(Show(set.flags, {[] { TestKey("ESCAPE"); }}), set.escape) << "Escape";
    } else {
      int answer = Show(set.flags, {[] { TestKey("ESCAPE"); },
                                    [] {
                                      EXPECT_NE(TheBox(), nullptr) << "Escape does nothing here";
                                      TestKey("RETURN");
                                    }});
      EXPECT_EQ(answer, set.enter);
    }
  }
}

TEST_F(MessageBoxTest, ArrowsMoveTheDefaultButton) {
  EXPECT_EQ(Show(MB_YESNOCANCEL, {[] { TestKey("RIGHT"); }, [] { TestKey("RIGHT"); }, [] { TestKey("RETURN"); }}),
            IDCANCEL);
  EXPECT_EQ(Show(MB_YESNOCANCEL, {[] { TestKey("LEFT"); }, [] { TestKey("RETURN"); }}), IDCANCEL) << "wraps";
}

TEST_F(MessageBoxTest, TheOwnerWaitsDisabledAndGetsTheFocusBack) {
  HWND edit = CreateWindowExW(0, u"MenusTestMain", u"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, main_, nullptr,
                              nullptr, nullptr);
  SetFocus(edit);
  int answer = MessageBoxW(edit, u"From a child", u"Owner", MB_OK);  // no input: cancelled at once
  EXPECT_EQ(answer, IDOK);
  EXPECT_TRUE(IsWindowEnabled(main_));
  EXPECT_EQ(GetFocus(), edit);

  int checks = 0;
  answer = Show(MB_OKCANCEL, {[&] {
                  HWND box = TheBox();
                  ASSERT_NE(box, nullptr);
                  EXPECT_FALSE(IsWindowEnabled(main_));
                  EXPECT_EQ(TestModalLoops(), std::vector<HWND>{box});
                  EXPECT_EQ(GetActiveWindow(), box);
                  EXPECT_EQ(GetWindow(box, GW_OWNER), main_);
                  // Taps on the owner do nothing while the box is up.
                  TestTap(120, 60);
                  ++checks;
                },
                [&] {
                  EXPECT_NE(TheBox(), nullptr);
                  TestKey("ESCAPE");
                }});
  EXPECT_EQ(answer, IDCANCEL);
  EXPECT_EQ(checks, 1);
  EXPECT_TRUE(IsWindowEnabled(main_));
  EXPECT_TRUE(TestModalLoops().empty());
  EXPECT_EQ(GetActiveWindow(), main_);
  EXPECT_EQ(GetFocus(), edit);
  ASSERT_EQ(TestMessageBoxes().size(), 2u);
  EXPECT_EQ(TestMessageBoxes()[0].owner, edit) << "the log keeps the owner as given";
}

// A command that shows a box while another box is up, in a window without a dialog.
TEST_F(MessageBoxTest, BoxesNest) {
  std::vector<int> inner;
  onCommand = [&](UINT id) {
    if (id == 77) inner.push_back(MessageBoxW(main_, u"Inner", nullptr, MB_YESNO));
  };
  int outer = Show(MB_OKCANCEL, {[&] { PostMessageW(main_, WM_COMMAND, 77, 0); },
                                 [&] {
                                   ASSERT_EQ(TestModalLoops().size(), 2u);
                                   HWND top = TestModalLoops()[1];
                                   WCHAR title[16] = {};
                                   GetWindowTextW(top, title, 16);
                                   EXPECT_EQ(std::u16string(title), u"Error") << "no caption given";
                                   RECT no = BoxButton(1, 2);
                                   EXPECT_EQ(GetActiveWindow(), top);
                                   TestTap(no.left + 5, no.top + 5);
                                 },
                                 [&] {
                                   EXPECT_EQ(TestModalLoops().size(), 1u);
                                   EXPECT_FALSE(IsWindowEnabled(main_)) << "still under the outer box";
                                   TestKey("RETURN");
                                 }});
  EXPECT_EQ(inner, std::vector<int>{IDNO});
  EXPECT_EQ(outer, IDOK);
  EXPECT_TRUE(IsWindowEnabled(main_));
}

// The owner goes while its box is up, and takes the box with it.
TEST_F(MessageBoxTest, AnOwnerDestroyedMeanwhileCancelsTheBox) {
  onMessage = [&](UINT message) {
    if (message == WM_USER + 2) DestroyWindow(main_);
  };
  EXPECT_EQ(Show(MB_YESNO, {[&] { PostMessageW(main_, WM_USER + 2, 0, 0); }}), IDNO);
  EXPECT_FALSE(IsWindow(main_));
  EXPECT_EQ(TheBox(), nullptr);
  EXPECT_TRUE(TestModalLoops().empty());
}

TEST_F(MessageBoxTest, AQueuedAnswerComesAfterTheBoxIsPainted) {
  int paints = 0;
  TestSetMessageSpy([&](HWND window, UINT message, WPARAM, LPARAM) {
    WCHAR name[16] = {};
    GetClassNameW(window, name, 16);
    if (message == WM_PAINT && std::u16string(name) == u"MessageBox") ++paints;
  });
  TestSetIdleCallback([] {
    ADD_FAILURE() << "a queued answer waits for no input";
    return false;
  });
  TestQueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxW(main_, u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark", MB_YESNOCANCEL), IDNO);
  TestSetIdleCallback(nullptr);
  TestSetMessageSpy(nullptr);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(TheBox(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(MessageBoxTest, TheBoxIsCentredWithItsCaptionTextAndIcon) {
  const struct {
    const char* name;
    UINT icon;
    COLORREF ink;
  } icons[] = {
      {"none", 0, kWhite},
      {"stop", MB_ICONSTOP, RGB(208, 0, 0)},
      {"exclamation", MB_ICONEXCLAMATION, RGB(240, 200, 0)},
      {"question", MB_ICONQUESTION, kBlue},
      {"information", MB_ICONINFORMATION, kBlue},
  };
  for (const auto& icon : icons) {
    SCOPED_TRACE(icon.name);
    Show(MB_OK | icon.icon, {[&] {
           HWND box = TheBox();
           ASSERT_NE(box, nullptr);
           RECT r = Rect(box), client = ClientOnScreenOf(box);
           EXPECT_EQ(r.left + r.right, 240) << "centred across";
           EXPECT_LE(std::abs(static_cast<int>(r.top + r.bottom) - 320), 1) << "and down";
           RECT caption{r.left, r.top, r.right, client.top};
           EXPECT_GT(Count(caption, RGB(0, 0, 128)), 20) << "the caption's title";
           // The icon's square at the top left of the client area.
           RECT square{client.left + 8, client.top + 10, client.left + 32, client.top + 34};
           if (icon.icon == 0) {
             EXPECT_EQ(Count(square, kBlue) + Count(square, RGB(208, 0, 0)) + Count(square, RGB(240, 200, 0)), 0);
           } else {
             EXPECT_GT(Count(square, icon.ink), 100);
           }
           TestKey("RETURN");
         }});
  }
}

TEST_F(MessageBoxTest, LongTextWrapsAndStaysOnTheScreen) {
  int shortHeight = 0, longHeight = 0;
  Show(MB_OK, {[&] {
         shortHeight = Rect(TheBox()).bottom - Rect(TheBox()).top;
         TestKey("RETURN");
       }},
       u"Short");
  std::u16string text;
  for (int i = 0; i < 400; ++i) text += u"word ";
  Show(MB_OK, {[&] {
         RECT r = Rect(TheBox());
         longHeight = r.bottom - r.top;
         EXPECT_GE(r.top, 0);
         EXPECT_LE(r.bottom, 320);
         EXPECT_LE(r.right - r.left, 240);
         TestKey("RETURN");
       }},
       text.c_str());
  EXPECT_GT(longHeight, shortHeight + 100);
}

}  // namespace
