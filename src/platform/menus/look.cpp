// Drawing pieces that menus, bars, tips and message boxes share.
#include "platform/menus/internal.h"

namespace menus {
namespace {

// Rows of a mark centred on its middle character.
constexpr const char* kCheck[] = {
    "........#", ".......##", "#.....##.", "##...##..", ".##.##...", "..###....", "...#.....",
};
constexpr const char* kRadio[] = {
    "..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###..",
};

template <size_t N>
void DrawMark(HDC dc, int x, int y, COLORREF colour, const char* const (&rows)[N]) {
  int width = static_cast<int>(std::char_traits<char>::length(rows[0]));
  for (size_t r = 0; r < N; ++r)
    for (int c = 0; c < width; ++c)
      if (rows[r][c] == '#')
        SetPixel(dc, x - width / 2 + c, y - static_cast<int>(N) / 2 + static_cast<int>(r), colour);
}

}  // namespace

void FillBox(HDC dc, const RECT& box, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &box, brush);
  DeleteObject(brush);
}

void FrameBox(HDC dc, const RECT& b, COLORREF colour) {
  FillBox(dc, {b.left, b.top, b.right, b.top + 1}, colour);
  FillBox(dc, {b.left, b.bottom - 1, b.right, b.bottom}, colour);
  FillBox(dc, {b.left, b.top, b.left + 1, b.bottom}, colour);
  FillBox(dc, {b.right - 1, b.top, b.right, b.bottom}, colour);
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour) {
  FillBox(dc, {left, y, right, y + 1}, colour);
}

void DrawCheckMark(HDC dc, int x, int y, COLORREF colour) { DrawMark(dc, x, y, colour, kCheck); }
void DrawRadioMark(HDC dc, int x, int y, COLORREF colour) { DrawMark(dc, x, y, colour, kRadio); }

void UseUiText(HDC dc, COLORREF colour) {
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
}

int TextWidth(HDC dc, const std::u16string& text) {
  if (text.empty()) return 0;
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  return r.right;
}

std::u16string Label(const std::u16string& text) { return text.substr(0, text.find(u'\b')); }

std::u16string Shortcut(const std::u16string& text) {
  size_t at = text.find(u'\b');
  return at == std::u16string::npos ? std::u16string() : text.substr(at + 1);
}

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

char16_t Mnemonic(const std::u16string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'\b') break;
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return UpperAscii(text[i + 1]);
    ++i;
  }
  return 0;
}

void PaintWindow(HWND window, const std::function<void(HDC)>& paint) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(window, &ps);
  if (dc != nullptr) paint(dc);
  EndPaint(window, &ps);
}

void RedrawNow(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

RECT ClientOnScreen(HWND window) {
  RECT r{0, 0, 0, 0};
  if (!GetClientRect(window, &r)) return r;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

POINT MessagePoint(const MSG& message) {
  POINT p{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
  if (message.hwnd != nullptr) ClientToScreen(message.hwnd, &p);
  return p;
}

}  // namespace menus
