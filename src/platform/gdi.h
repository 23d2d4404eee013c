// Drawing: device contexts over the screen framebuffer and over bitmaps,
// pens, brushes, fonts and text. Colours are 0x00BBGGRR.
#pragma once

#include "platform/types.h"

typedef DWORD COLORREF;
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)((c) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))
#define CLR_INVALID 0xFFFFFFFF

typedef struct HDC__* HDC;
typedef struct HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HBITMAP;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE;

#define LF_FACESIZE 32

typedef struct tagLOGFONTW {
  LONG lfHeight;  // > 0 cell height (ascent + descent), < 0 character height, 0 default
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;  // 400 normal, 700 bold; 600 and above draw bold
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW;

typedef struct tagTEXTMETRICW {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
} TEXTMETRICW;

typedef struct tagBITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  void* bmBits;
} BITMAP;

typedef struct tagLOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
} LOGPEN;

typedef struct tagLOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  uintptr_t lbHatch;
} LOGBRUSH;

#define BS_SOLID 0
#define BS_NULL 1

#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define HEBREW_CHARSET 177

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13

#define PS_SOLID 0
#define PS_NULL 5

#define OPAQUE 2
#define TRANSPARENT 1

#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90

#define SRCCOPY 0x00CC0020

// DrawTextW formats.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800

// ExtTextOutW options.
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_FONT 6
#define OBJ_BITMAP 7

typedef int (*FONTENUMPROCW)(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType,
                             LPARAM param);
#define RASTER_FONTTYPE 0x0001
#define TRUETYPE_FONTTYPE 0x0004

// Device contexts. GetDC(nullptr) draws on the whole screen. A context starts
// with the black pen, the white brush, the system font, black text on a white
// opaque background; a memory context also holds a 1 x 1 one-bit black
// bitmap until another is selected. Everything is clipped to the bitmap or to
// the window's area, whatever the coordinates.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int GetDeviceCaps(HDC dc, int index);

// Objects. SelectObject returns the object of that kind selected before; a
// bitmap goes into one memory context at a time. Deleting a stock object does
// nothing and succeeds; an object still selected somewhere dies with its
// handle at once but is freed when the last context lets go of it. A deleted
// or unknown handle is refused everywhere.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int which);
// Pens draw one pixel wide, whatever the width.
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
// 32 bits a pixel, black at first; a width or height of 0 gives 1 x 1, one bit.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// Resources of type RT_BITMAP, 1, 4 or 8 bits a pixel with a palette
// (platform/bitmap_resource.h); the palette gives the colours.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// Bitmaps give a BITMAP, fonts the LOGFONTW they were made with, naming the
// face actually used; pens a LOGPEN, brushes a LOGBRUSH.
int GetObjectW(HGDIOBJ object, int size, void* out);
// OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP; 0 for what is not a live object.
DWORD GetObjectType(HGDIOBJ object);
// The object of that kind selected into the context.
HGDIOBJ GetCurrentObject(HDC dc, UINT kind);

// State.
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

// Shapes and pixels. Rectangles exclude their right and bottom edges.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// The outline in the pen on the rectangle's outermost pixels, the inside in
// the brush; without a pen the brush fills to one pixel short of the right
// and bottom edges.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// Draws up to the end point, without it, and moves there.
BOOL LineTo(HDC dc, int x, int y);
// SRCCOPY only. StretchBlt samples the nearest source pixel; a negative
// width or height mirrors.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                int sourceWidth, int sourceHeight, DWORD rop);

// Fonts and text. Glyphs go left to right in the order given, each advancing
// by its own width: no shaping, no bidirectional reordering, no kerning.
//
// lfHeight > 0 is the cell height (ascent + descent) in pixels, < 0 the
// character (em) height, 0 a 16-pixel cell; lfWeight 600 and above is bold,
// thickened by the platform when the face has no bold of its own. An empty or
// unknown face name gets a face that covers the Hebrew letters: "David CLM"
// when lfCharSet is HEBREW_CHARSET, else "DejaVu Sans" (failing those, any
// face with the Hebrew letters, then any face). tmCharSet is HEBREW_CHARSET
// for a face that covers U+05D0 to U+05EA, else ANSI_CHARSET.
//
// The built-in face "Test Fixed" needs no font file. With h the cell height
// (16 for lfHeight 0, else |lfHeight|): ascent h - h/4, descent h/4; every
// character, the space too, advances a = max(1, h/2) pixels, which are also
// tmAveCharWidth and tmMaxCharWidth; tmCharSet HEBREW_CHARSET, tmInternal-
// Leading 0; bold changes nothing. A character other than the space is drawn
// as a one-pixel box outline from (x, top + 1) to (x + max(1, a - 1),
// top + 1 + max(1, h - 2)), right and bottom exclusive, with x the pen
// position and top the cell's top; an underline is the cell's last row.
HFONT CreateFontIndirectW(const LOGFONTW* font);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
// The number of characters whose cumulative advance is at most maxExtent
// (when fit is given), the end of each character (when dx is given), and the
// extent of the whole run with tmHeight, not of the part that fits.
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, int* fit, int* dx,
                           SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
// count -1: up to the terminating zero. Returns the height of the text
// (lines x tmHeight). Without DT_NOPREFIX a '&' underlines the character
// after it and is not drawn, "&&" draws one '&'. DT_VCENTER and DT_BOTTOM
// act on single lines; DT_WORDBREAK breaks at spaces; DT_CALCRECT only sets
// right and bottom to the text's extent. In opaque mode each line's cell is
// filled with the background colour first.
int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);
// (x, y) is the top-left of the text's cell; dx, when given, holds the step
// after each character.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* dx);
// One call per family (or for the one named), sorted by name, "Test Fixed"
// among them, all TRUETYPE_FONTTYPE; the LOGFONTW is that of a 16-pixel cell.
// Stops when the callback returns 0; returns the callback's last answer, 1
// when it was not called.
int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW callback, LPARAM param);
