#include "controls_fixture.h"

namespace {

using controls::kButtonFace;
using controls::kHighlight;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Buttons : public ControlsTest {};

TEST_F(Buttons, RadioGroupsRunFromOneGroupStyleToTheNext) {
  const DWORD radio = BS_AUTORADIOBUTTON;
  HWND b[7] = {};
  b[1] = Make(u"BUTTON", radio | WS_GROUP, 10, 10, 100, 16, 1, u"one");
  b[2] = Make(u"BUTTON", radio, 10, 30, 100, 16, 2, u"two");
  b[3] = Make(u"BUTTON", radio, 10, 50, 100, 16, 3, u"three");
  b[4] = Make(u"BUTTON", radio | WS_GROUP, 10, 70, 100, 16, 4, u"four");
  b[5] = Make(u"BUTTON", radio, 10, 90, 100, 16, 5, u"five");
  b[6] = Make(u"BUTTON", BS_AUTOCHECKBOX | WS_GROUP, 10, 110, 100, 16, 6, u"six");
  struct Row {
    int tapped;
    const char* checked;  // the checked ids after the tap
  } rows[] = {{2, "2"}, {3, "3"}, {5, "35"}, {4, "34"}, {1, "14"}, {6, "146"}, {6, "14"}, {1, "14"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tapped);
    HeardLog().clear();
    Tap(b[row.tapped], 5, 5);
    std::string checked;
    for (int id = 1; id <= 6; ++id)
      if (IsDlgButtonChecked(parent_, id) == BST_CHECKED) checked += static_cast<char>('0' + id);
    EXPECT_EQ(checked, row.checked);
    EXPECT_EQ(Codes(WM_COMMAND, b[row.tapped]), (std::vector<int>{BN_CLICKED}));
    EXPECT_EQ(LOWORD(HeardLog().back().wParam), row.tapped);
  }
  CheckRadioButton(parent_, 1, 3, 2);
  EXPECT_EQ(IsDlgButtonChecked(parent_, 1), 0u);
  EXPECT_EQ(IsDlgButtonChecked(parent_, 2), 1u);
  EXPECT_EQ(IsDlgButtonChecked(parent_, 4), 1u) << "outside the range";
  CheckDlgButton(parent_, 5, BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(parent_, 5), 1u);
  EXPECT_EQ(IsDlgButtonChecked(parent_, 4), 1u) << "checking by program leaves the group alone";
  EXPECT_EQ(IsDlgButtonChecked(parent_, 99), 0u);
  EXPECT_FALSE(CheckDlgButton(parent_, 99, BST_CHECKED));
}

TEST_F(Buttons, PushButtonClicksOnReleaseInsideAndLooksPressedMeanwhile) {
  HWND push = Make(u"BUTTON", BS_PUSHBUTTON, 10, 10, 60, 24, 7, u"Go");
  EXPECT_EQ(Pixel(push, 5, 6), kButtonFace);
  Down(push, 30, 12);
  EXPECT_EQ(Pixel(push, 5, 6), kHighlight);
  EXPECT_EQ(Pixel(push, 0, 0), kBlack) << "the border";
  Move(push, 90, 12);
  EXPECT_EQ(Pixel(push, 5, 6), kButtonFace) << "the pointer left it";
  Move(push, 20, 12);
  EXPECT_EQ(Pixel(push, 5, 6), kHighlight);
  EXPECT_TRUE(Codes(WM_COMMAND, push).empty());
  Up(push, 20, 12);
  EXPECT_EQ(Codes(WM_COMMAND, push), (std::vector<int>{BN_CLICKED}));
  EXPECT_EQ(Pixel(push, 5, 6), kButtonFace);

  HeardLog().clear();
  Down(push, 30, 12);
  Move(push, 30, 40);
  Up(push, 30, 40);
  EXPECT_TRUE(Codes(WM_COMMAND, push).empty()) << "released outside";
  EnableWindow(push, FALSE);
  Tap(push, 30, 12);
  EXPECT_TRUE(Codes(WM_COMMAND, push).empty()) << "disabled";
  EnableWindow(push, TRUE);
  SendMessageW(push, BM_CLICK, 0, 0);
  EXPECT_EQ(Codes(WM_COMMAND, push), (std::vector<int>{BN_CLICKED}));

  HWND byDefault = Make(u"BUTTON", BS_DEFPUSHBUTTON, 80, 10, 60, 24, 8, u"OK");
  EXPECT_EQ(Pixel(byDefault, 1, 5), kBlack) << "a default button's border is two pixels";
  EXPECT_EQ(Pixel(push, 1, 5), kButtonFace);
}

TEST_F(Buttons, OwnerDrawnAsksItsParent) {
  HWND link = Make(u"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 10, 10, 100, 16, 1025, u"www");
  UpdateWindow(link);
  ASSERT_FALSE(HeardLog().empty());
  Heard first = HeardLog().back();
  EXPECT_EQ(first.message, static_cast<UINT>(WM_DRAWITEM));
  EXPECT_EQ(first.wParam, 1025u);
  EXPECT_EQ(first.drawType, static_cast<UINT>(ODT_BUTTON));
  EXPECT_EQ(first.drawState & ODS_SELECTED, 0u);
  HeardLog().clear();
  Down(link, 5, 5);
  UpdateWindow(link);
  bool pressedDrawn = false;
  for (const Heard& h : HeardLog())
    if (h.message == WM_DRAWITEM && (h.drawState & ODS_SELECTED) && (h.drawState & ODS_FOCUS)) pressedDrawn = true;
  EXPECT_TRUE(pressedDrawn);
  Up(link, 5, 5);
  EXPECT_EQ(Codes(WM_COMMAND, link), (std::vector<int>{BN_CLICKED}));

  // The owner draws in the font the button was given.
  LOGFONTW description{};
  description.lfHeight = -13;
  description.lfUnderline = TRUE;
  HFONT font = CreateFontIndirectW(&description);
  SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  HeardLog().clear();
  UpdateWindow(link);
  ASSERT_FALSE(HeardLog().empty());
  EXPECT_EQ(HeardLog().back().drawFont, font);
  DestroyWindow(link);
  DeleteObject(font);
}

class Statics : public ControlsTest {};

TEST_F(Statics, AlignmentAndPrefixes) {
  struct Row {
    const char* name;
    DWORD style;
    const char16_t* text;
    int ink;       // a column with a glyph's left edge
    int blank;     // a column left white
    bool underline;
  } rows[] = {
      {"left", SS_LEFT, u"ab", 0, 7, false},
      {"centred", SS_CENTER, u"ab", 42, 41, false},
      {"right", SS_RIGHT, u"ab", 84, 83, false},
      {"prefix underlines", SS_LEFT, u"&x", 0, 8, true},
      {"no prefix draws the ampersand", SS_LEFT | SS_NOPREFIX, u"&x", 8, 7, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HWND label = Make(u"STATIC", row.style, 10, 10, 100, 16, 0xFFFF, row.text);
    EXPECT_EQ(Pixel(label, row.ink, 5), kBlack);
    EXPECT_EQ(Pixel(label, row.blank, 5), kWhite);
    EXPECT_EQ(Pixel(label, 3, 15) == kBlack, row.underline);
    DestroyWindow(label);
  }
}

TEST_F(Statics, NewTextRepaints) {
  HWND label = Make(u"STATIC", SS_LEFT, 10, 10, 100, 16, 0xFFFF, u"a");
  EXPECT_EQ(Pixel(label, 8, 5), kWhite);
  SetWindowTextW(label, u"ab");
  EXPECT_EQ(Pixel(label, 8, 5), kBlack);
  EXPECT_EQ(Text(label), u"ab");
}

TEST_F(Statics, BitmapSizesTheControl) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, 20, 12);
  HGDIOBJ old = SelectObject(memory, picture);
  RECT all{0, 0, 20, 12};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(memory, &all, red);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  HWND image = Make(u"STATIC", SS_BITMAP, 10, 10, 0, 0, 0xFFFF);
  EXPECT_EQ(SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)), 0);
  RECT client{};
  GetClientRect(image, &client);
  EXPECT_EQ(client.right, 20);
  EXPECT_EQ(client.bottom, 12);
  EXPECT_EQ(Pixel(image, 19, 11), RGB(255, 0, 0));
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(image, STM_GETIMAGE, IMAGE_BITMAP, 0)), picture);
  DestroyWindow(image);
  DeleteObject(picture);
  DeleteObject(red);
}

}  // namespace
