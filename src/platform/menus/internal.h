// What the menu files share: the records behind HMENU, pop-up tracking, the
// look, and the window classes. Internal to the platform.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/menus.h"
#include "platform/menus/menu_resource.h"

namespace menus {

struct Item {
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  bool radio = false;  // the mark is a dot, set by CheckMenuRadioItem
  UINT id = 0;
  HMENU popup = nullptr;
  std::u16string text;
};

struct Menu {
  bool popup = false;
  std::vector<Item> items;
};

// A live menu, or null.
Menu* FindMenu(HMENU menu);
// The menu that the template's items make, or null.
HMENU BuildMenu(const std::vector<MenuTemplateItem>& items);
// The RT_MENU resource `name` of the instance, decoded.
bool ReadMenuTemplate(HINSTANCE instance, LPCWSTR name, std::vector<MenuTemplateItem>* items);

// Pop-up tracking. A pop-up opened from a bar ends also when the user moves
// left or right to the neighbouring bar menu, or taps outside it (the bar
// then looks at where).
enum class TrackEnd { Chosen, Cancelled, Left, Right, TapOutside };

struct TrackRequest {
  HMENU menu = nullptr;
  HWND owner = nullptr;
  POINT at{};
  UINT flags = 0;
  const RECT* exclude = nullptr;  // screen; the pop-up keeps off it vertically
  int index = 0;                  // of the pop-up in its menu, for WM_INITMENUPOPUP
  bool keyboard = false;          // opened by a key: the first item starts selected
  bool fromBar = false;
};

struct TrackOutcome {
  TrackEnd end = TrackEnd::Cancelled;
  UINT command = 0;
  POINT tap{};  // screen, for TapOutside
};

TrackOutcome TrackMenu(const TrackRequest& request);

// Window procedures of the classes RegisterMenuClasses registers.
LRESULT PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MessageBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr const WCHAR* kPopupClass = u"MenuPopup";
inline constexpr const WCHAR* kCommandBarClass = u"CommandBar";
inline constexpr const WCHAR* kMenuBarClass = u"MenuBar";
inline constexpr const WCHAR* kTipClass = u"ToolTip";
inline constexpr const WCHAR* kMessageBoxClass = u"MessageBox";

// The look.
inline constexpr COLORREF kFace = RGB(224, 224, 224);
inline constexpr COLORREF kEdge = RGB(128, 128, 128);
inline constexpr COLORREF kBorder = RGB(0, 0, 0);
inline constexpr COLORREF kText = RGB(0, 0, 0);
inline constexpr COLORREF kGrayText = RGB(128, 128, 128);
inline constexpr COLORREF kHighlight = RGB(0, 80, 200);
inline constexpr COLORREF kCaption = RGB(0, 0, 128);
inline constexpr COLORREF kHighlightText = RGB(255, 255, 255);
inline constexpr COLORREF kWindow = RGB(255, 255, 255);
inline constexpr COLORREF kTipBack = RGB(255, 255, 225);
// Image pixels of this colour let the button show through.
inline constexpr COLORREF kImageGround = RGB(192, 192, 192);

inline constexpr int kBarHeight = 26;
inline constexpr UINT kKeyF10 = 0x79;

void FillBox(HDC dc, const RECT& box, COLORREF colour);
void FrameBox(HDC dc, const RECT& box, COLORREF colour);
void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour);
// A tick and a dot, centred on (x, y), about 9 pixels across.
void DrawCheckMark(HDC dc, int x, int y, COLORREF colour);
void DrawRadioMark(HDC dc, int x, int y, COLORREF colour);
// The system font, text colour and a transparent background.
void UseUiText(HDC dc, COLORREF colour);
// The width of a text with '&' prefixes, in the context's font.
int TextWidth(HDC dc, const std::u16string& text);
// The part before and after the character 8.
std::u16string Label(const std::u16string& text);
std::u16string Shortcut(const std::u16string& text);
// The character after the '&' mark, upper-cased for ASCII; 0 when none.
char16_t Mnemonic(const std::u16string& text);
char16_t UpperAscii(char16_t c);

// Paints the window's invalid part now, through `paint`.
void PaintWindow(HWND window, const std::function<void(HDC)>& paint);
void RedrawNow(HWND window);

// Screen rectangle of a window's client area.
RECT ClientOnScreen(HWND window);
bool Inside(const RECT& r, POINT p);
// The point of a mouse message, on the screen.
POINT MessagePoint(const MSG& message);

}  // namespace menus
