#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/testing.h"

TEST(MessageBox, RecordsEachBoxAndAnswersFromTheQueue) {
  TestClearMessageBoxes();
  HWND owner = reinterpret_cast<HWND>(0x1234);
  TestQueueMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxW(owner, u"Remove?", u"Bookmark", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxW(nullptr, u"Gone", nullptr, MB_OK), IDOK) << "an empty queue answers OK";

  const auto& shown = TestMessageBoxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].owner, owner);
  EXPECT_EQ(shown[0].text, u"Remove?");
  EXPECT_EQ(shown[0].caption, u"Bookmark");
  EXPECT_TRUE(shown[0].hasCaption);
  EXPECT_EQ(shown[0].flags, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_EQ(shown[1].owner, nullptr);
  EXPECT_FALSE(shown[1].hasCaption);
  EXPECT_EQ(shown[1].caption, u"Error");
  TestClearMessageBoxes();
  EXPECT_TRUE(TestMessageBoxes().empty());
}

// Without queued answers and without input the box is cancelled at once:
// Cancel when it has that button, No for Yes/No, else OK.
TEST(MessageBox, WithoutInputTheBoxIsCancelled) {
  const struct {
    UINT flags;
    int answer;
  } cases[] = {
      {MB_OK | MB_ICONSTOP, IDOK},
      {MB_OKCANCEL, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL, IDCANCEL},
      {MB_OK | MB_ICONEXCLAMATION, IDOK},
  };
  TestClearMessageBoxes();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(MessageBoxW(nullptr, u"There is not enough memory, aborting", u"Error", c.flags), c.answer);
  }
  TestQueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_YESNO), IDYES) << "a queued answer goes first";
  ASSERT_EQ(TestMessageBoxes().size(), std::size(cases) + 1);
  EXPECT_EQ(TestMessageBoxes()[1].flags, static_cast<UINT>(MB_OKCANCEL));
  EXPECT_TRUE(TestMessageBoxes().back().text.empty());
  TestClearMessageBoxes();
}
