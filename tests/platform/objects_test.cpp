// Drawing objects and contexts: selection, stock objects, deletion, handle
// checks, the state setters and what GetObjectW tells.
#include <gtest/gtest.h>

#include "canvas.h"

namespace {

TEST(Objects, StockObjectsAreTheDefaultsOfAFreshContext) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);

  BITMAP b{};
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  ASSERT_EQ(GetObjectW(bitmap, sizeof b, &b), static_cast<int>(sizeof b));
  EXPECT_EQ(b.bmWidth, 1);
  EXPECT_EQ(b.bmHeight, 1);
  EXPECT_EQ(b.bmBitsPixel, 1);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc)) << "a deleted context is gone";
}

TEST(Objects, StockObjectsHaveTheirColoursAndDeletingThemDoesNothing) {
  struct Case {
    int which;
    DWORD type;
    COLORREF colour;
    UINT style;
  } cases[] = {
      {WHITE_BRUSH, OBJ_BRUSH, RGB(255, 255, 255), BS_SOLID},
      {LTGRAY_BRUSH, OBJ_BRUSH, RGB(192, 192, 192), BS_SOLID},
      {GRAY_BRUSH, OBJ_BRUSH, RGB(128, 128, 128), BS_SOLID},
      {DKGRAY_BRUSH, OBJ_BRUSH, RGB(64, 64, 64), BS_SOLID},
      {BLACK_BRUSH, OBJ_BRUSH, RGB(0, 0, 0), BS_SOLID},
      {NULL_BRUSH, OBJ_BRUSH, 0, BS_NULL},
      {WHITE_PEN, OBJ_PEN, RGB(255, 255, 255), PS_SOLID},
      {BLACK_PEN, OBJ_PEN, RGB(0, 0, 0), PS_SOLID},
      {NULL_PEN, OBJ_PEN, 0, PS_NULL},
      {SYSTEM_FONT, OBJ_FONT, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.which);
    HGDIOBJ o = GetStockObject(c.which);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(GetStockObject(c.which), o) << "the same object every time";
    EXPECT_EQ(GetObjectType(o), c.type);
    EXPECT_TRUE(DeleteObject(o));
    EXPECT_EQ(GetObjectType(o), c.type) << "still there";
    if (c.type == OBJ_BRUSH) {
      LOGBRUSH lb{};
      EXPECT_EQ(GetObjectW(o, sizeof lb, &lb), static_cast<int>(sizeof lb));
      EXPECT_EQ(lb.lbStyle, c.style);
      if (c.style == BS_SOLID) {
        EXPECT_EQ(lb.lbColor, c.colour);
      }
    } else if (c.type == OBJ_PEN) {
      LOGPEN lp{};
      EXPECT_EQ(GetObjectW(o, sizeof lp, &lp), static_cast<int>(sizeof lp));
      EXPECT_EQ(lp.lopnStyle, c.style);
      if (c.style == PS_SOLID) {
        EXPECT_EQ(lp.lopnColor, c.colour);
      }
    }
  }
  for (int missing : {-1, 9, 10, 11, 12, 14, 1000}) EXPECT_EQ(GetStockObject(missing), nullptr) << missing;
}

TEST(Objects, SelectObjectReturnsThePreviousOfTheSameKind) {
  Canvas canvas(2, 2);
  HDC dc = canvas.dc();
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  LOGFONTW lf{};
  lf.lfHeight = 12;
  std::u16string(u"Test Fixed").copy(lf.lfFaceName, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&lf);
  ASSERT_NE(pen, nullptr);
  ASSERT_NE(brush, nullptr);
  ASSERT_NE(font, nullptr);

  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), GetStockObject(NULL_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
  EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);

  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
  EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x77)), nullptr);
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(0x88), pen), nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(NULL_PEN)) << "failures change nothing";

  for (HGDIOBJ o : {pen, brush, font}) EXPECT_TRUE(DeleteObject(o));
}

TEST(Objects, DeletedHandlesAreRefusedEverywhere) {
  Canvas canvas(2, 2);
  HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(GetObjectW(brush, 0, nullptr), 0);
  EXPECT_EQ(SelectObject(canvas.dc(), brush), nullptr);
  RECT r{0, 0, 2, 2};
  EXPECT_EQ(FillRect(canvas.dc(), &r, brush), 0);
  EXPECT_EQ(canvas.Count(RGB(9, 9, 9)), 0);
  HBRUSH later = CreateSolidBrush(RGB(1, 1, 1));
  EXPECT_NE(later, brush) << "handles are not reused";
  DeleteObject(later);
}

TEST(Objects, AnObjectDeletedWhileSelectedLivesUntilItIsDeselected) {
  Canvas canvas(3, 1);
  HBRUSH brush = CreateSolidBrush(RGB(0, 200, 0));
  HGDIOBJ old = SelectObject(canvas.dc(), brush);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), 0u) << "the handle is dead at once";
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  Rectangle(canvas.dc(), 0, 0, 3, 2);
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 200, 0)) << "the context still paints with it";
  EXPECT_EQ(SelectObject(canvas.dc(), old), brush) << "and hands it back once";
  EXPECT_EQ(GetObjectType(brush), 0u);

  // The same through a deleted context.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
  SelectObject(dc, bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 0));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(Objects, ABitmapGoesIntoOneMemoryContextAtATime) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(a);
  ASSERT_NE(b, nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(a, 4, 4);
  HGDIOBJ defaultA = SelectObject(a, bitmap);
  EXPECT_NE(defaultA, nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr) << "already in a";
  EXPECT_EQ(SelectObject(a, bitmap), bitmap) << "selecting it again where it is works";
  EXPECT_EQ(SelectObject(b, defaultA), defaultA) << "the default bitmap may be in many";
  EXPECT_EQ(SelectObject(a, defaultA), bitmap);
  EXPECT_NE(SelectObject(b, bitmap), nullptr) << "free again";
  HDC screen = GetDC(nullptr);
  HBITMAP small = CreateCompatibleBitmap(a, 1, 1);
  EXPECT_EQ(SelectObject(screen, small), nullptr) << "no bitmap into a screen context";
  ReleaseDC(nullptr, screen);
  DeleteObject(small);
  EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(0x99)), nullptr);
  DeleteDC(a);
  DeleteDC(b);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(Objects, CompatibleBitmapsAre32BitsAndBlack) {
  HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    int width, height;
    bool made;
    LONG bmWidth, bmHeight, widthBytes;
    WORD bits;
  } cases[] = {
      {5, 3, true, 5, 3, 20, 32},
      {0, 7, true, 1, 1, 2, 1},
      {-1, 7, false, 0, 0, 0, 0},
      {100000, 100000, false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, c.width, c.height);
    EXPECT_EQ(bitmap != nullptr, c.made);
    if (bitmap == nullptr) continue;
    BITMAP b{};
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof b));
    EXPECT_EQ(GetObjectW(bitmap, sizeof b, &b), static_cast<int>(sizeof b));
    EXPECT_EQ(b.bmWidth, c.bmWidth);
    EXPECT_EQ(b.bmHeight, c.bmHeight);
    EXPECT_EQ(b.bmWidthBytes, c.widthBytes);
    EXPECT_EQ(b.bmBitsPixel, c.bits);
    EXPECT_EQ(b.bmPlanes, 1);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, c.bmWidth - 1, c.bmHeight - 1), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);
  }
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 2, 2), nullptr);
  DeleteDC(dc);
}

TEST(Objects, StateSettersReturnThePreviousValue) {
  Canvas canvas(1, 1);
  HDC dc = canvas.dc();
  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  EXPECT_EQ(SetTextColor(dc, RGB(4, 5, 6)), RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));
  EXPECT_EQ(SetBkColor(dc, RGB(7, 8, 9)), RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(7, 8, 9));
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, 7), 0) << "not a mode";
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);

  HDC stranger = reinterpret_cast<HDC>(0x1230);
  EXPECT_EQ(SetTextColor(stranger, 0), CLR_INVALID);
  EXPECT_EQ(GetTextColor(stranger), CLR_INVALID);
  EXPECT_EQ(SetBkColor(stranger, 0), CLR_INVALID);
  EXPECT_EQ(GetBkColor(nullptr), CLR_INVALID);
  EXPECT_EQ(SetBkMode(stranger, OPAQUE), 0);
  EXPECT_EQ(GetBkMode(stranger), 0);
}

TEST(Objects, DeviceCapsReportTheScreen) {
  Canvas canvas(1, 1);
  struct Case {
    int index, value;
  } cases[] = {{LOGPIXELSX, 96}, {LOGPIXELSY, 96}, {BITSPIXEL, 32}, {PLANES, 1}, {12345, 0}};
  for (const Case& c : cases) EXPECT_EQ(GetDeviceCaps(canvas.dc(), c.index), c.value) << c.index;
  EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 0);
}

TEST(Objects, GetObjectCopiesAsMuchAsThereIsRoomFor) {
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(10, 20, 30));
  LOGPEN lp{};
  EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(10, 20, 30));
  UINT style = 99;
  EXPECT_EQ(GetObjectW(pen, sizeof style, &style), static_cast<int>(sizeof style));
  EXPECT_EQ(style, static_cast<UINT>(PS_SOLID));
  EXPECT_EQ(CreatePen(42, 1, 0), nullptr) << "only solid and null pens";
  DeleteObject(pen);
}

}  // namespace
