// TrackPopupMenuEx on its own: where the pop-up stands, how a choice comes
// back, cancelling, and menus or windows that go away while it is open.
#include "bar_fixture.h"

namespace {

class PopupTest : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    popup_ = CreatePopupMenu();
    AppendMenuW(popup_, MF_STRING, 11, u"&One\bF1");
    AppendMenuW(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup_, MF_STRING | MF_GRAYED, 12, u"&Two");
    AppendMenuW(popup_, MF_STRING, 13, u"T&hree");
  }
  void TearDown() override {
    DestroyMenu(popup_);
    MenusTest::TearDown();
  }

  // Tracks with the steps run while the pop-up waits; returns what it returned.
  BOOL Track(UINT flags, int x, int y, std::vector<std::function<void()>> steps, const TPMPARAMS* params = nullptr) {
    size_t next = 0;
    TestSetIdleCallback([&] {
      if (next == steps.size()) return false;
      steps[next++]();
      return true;
    });
    BOOL r = TrackPopupMenuEx(popup_, flags, x, y, main_, params);
    TestSetIdleCallback(nullptr);
    EXPECT_EQ(next, steps.size());
    return r;
  }

  HMENU popup_ = nullptr;
};

RECT ItemRow(const RECT& popup, int index) {
  HDC dc = GetDC(nullptr);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  ReleaseDC(nullptr, dc);
  const int heights[] = {tm.tmHeight + 2, 5, tm.tmHeight + 2, tm.tmHeight + 2};
  int y = popup.top + 1;
  for (int i = 0; i < index; ++i) y += heights[i];
  return {popup.left + 1, y, popup.right - 1, y + heights[index]};
}

void TapRow(int index) {
  RECT r = ItemRow(Rect(Shown(u"MenuPopup")), index);
  TestTap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

TEST_F(PopupTest, TheAlignmentFlagsPlaceItOnTheScreen) {
  constexpr LONG any = -1;
  const struct {
    const char* name;
    UINT flags;
    POINT at;
    bool exclude;
    RECT want;  // the edges that matter
  } cases[] = {
      {"top left", TPM_LEFTALIGN | TPM_TOPALIGN, {50, 60}, false, {50, 60, any, any}},
      {"bottom right", TPM_RIGHTALIGN | TPM_BOTTOMALIGN, {200, 200}, false, {any, any, 200, 200}},
      {"kept inside at the right", 0, {230, 60}, false, {any, 60, 240, any}},
      {"kept inside at the bottom", 0, {10, 310}, false, {10, any, any, 320}},
      {"above the excluded band, where it fits", 0, {10, 100}, true, {10, any, any, 90}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPMPARAMS params{sizeof(TPMPARAMS), {0, 90, 240, 200}};
    Track(c.flags, c.at.x, c.at.y, {[&] {
            RECT r = Rect(Shown(u"MenuPopup"));
            for (auto [got, want] : {std::pair{r.left, c.want.left}, {r.top, c.want.top}, {r.right, c.want.right},
                                     {r.bottom, c.want.bottom}}) {
              if (want != any) {
                EXPECT_EQ(got, want);
              }
            }
            TestKey("ESCAPE");
          }},
          c.exclude ? &params : nullptr);
  }
}

TEST_F(PopupTest, AChoiceIsReturnedOrPostedToTheOwner) {
  EXPECT_EQ(Track(TPM_RETURNCMD, 20, 40, {[] { TapRow(3); }}), 13);
  EXPECT_TRUE(commands.empty()) << "TPM_RETURNCMD sends nothing";

  EXPECT_EQ(Track(0, 20, 40, {[] { TapRow(0); }}), TRUE);
  EXPECT_TRUE(commands.empty()) << "posted, not sent";
  TestPumpMessages();
  EXPECT_EQ(commands, std::vector<UINT>{11});

  commands.clear();
  EXPECT_EQ(Track(TPM_NONOTIFY, 20, 40, {[] { TapRow(0); }}), TRUE);
  TestPumpMessages();
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(initPopups, std::vector<HMENU>(3, popup_));
}

TEST_F(PopupTest, GrayedItemsSeparatorsAndCancelling) {
  const struct {
    const char* name;
    std::vector<std::function<void()>> steps;
    BOOL result;
  } cases[] = {
      {"a grayed item does nothing", {[] { TapRow(2); }, [] { TestKey("ESCAPE"); }}, 0},
      {"a separator does nothing", {[] { TapRow(1); }, [] { TestKey("ESCAPE"); }}, 0},
      {"a tap outside cancels", {[] { TestTap(200, 300); }}, 0},
      {"the input running out cancels", {}, 0},
      {"keys skip the separator, not the grayed item", {[] { TestKey("DOWN"); }, [] { TestKey("DOWN"); },
                                                         [] { TestKey("RETURN"); }, [] { TestKey("DOWN"); },
                                                         [] { TestKey("RETURN"); }}, 13},
      {"a mnemonic", {[] { TestKey("H"); }}, 13},
      {"a grayed mnemonic is not chosen", {[] { TestKey("T"); }, [] { TestKey("ESCAPE"); }}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Track(TPM_RETURNCMD, 20, 40, c.steps), c.result);
    EXPECT_EQ(Shown(u"MenuPopup"), nullptr);
    EXPECT_TRUE(TestModalLoops().empty());
  }
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PopupTest, ItRegistersItsModalLoopAndRefusesASecondOne) {
  Track(TPM_RETURNCMD, 20, 40, {[&] {
          HWND popup = Shown(u"MenuPopup");
          EXPECT_EQ(TestModalLoops(), std::vector<HWND>{popup});
          EXPECT_EQ(GetCapture(), popup);
          EXPECT_EQ(GetWindow(popup, GW_OWNER), main_);
          EXPECT_EQ(GetActiveWindow(), main_) << "the pop-up takes no activation";
          EXPECT_FALSE(TrackPopupMenuEx(popup_, TPM_RETURNCMD, 0, 0, main_, nullptr));
          TestKey("ESCAPE");
        }});
}

TEST_F(PopupTest, WhatGoesAwayWhileItIsOpen) {
  // The owner destroys the menu as it is about to show.
  onMessage = [&](UINT message) {
    if (message == WM_INITMENUPOPUP || message == WM_USER + 1) DestroyMenu(popup_);
  };
  EXPECT_EQ(Track(TPM_RETURNCMD, 20, 40, {}), 0);
  EXPECT_EQ(Shown(u"MenuPopup"), nullptr);
  // A posted message destroys the menu while it is open.
  popup_ = CreatePopupMenu();
  AppendMenuW(popup_, MF_STRING, 11, u"&One");
  onMessage = [&](UINT message) {
    if (message == WM_USER + 1) DestroyMenu(popup_);
  };
  EXPECT_EQ(Track(TPM_RETURNCMD, 20, 40, {[&] { PostMessageW(main_, WM_USER + 1, 0, 0); }}), 0);
  onMessage = nullptr;
  // And the owner window itself, which takes the pop-up with it.
  popup_ = CreatePopupMenu();
  AppendMenuW(popup_, MF_STRING, 11, u"&One");
  EXPECT_EQ(Track(0, 20, 40, {[&] { DestroyWindow(main_); }}), 0);
  EXPECT_EQ(Shown(u"MenuPopup"), nullptr);
  EXPECT_FALSE(TrackPopupMenuEx(popup_, 0, 0, 0, main_, nullptr)) << "no owner";
}

}  // namespace
