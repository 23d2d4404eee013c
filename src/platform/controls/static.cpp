// STATIC: text (left, centred or right, wrapping at spaces) or a bitmap.
#include "platform/controls/internal.h"

namespace controls {
namespace {

struct Static : Base {
  HFONT font = nullptr;
  HBITMAP image = nullptr;
};

StateTable<Static>& Statics() {
  static auto* table = new StateTable<Static>;
  return *table;
}

// The parent may answer WM_CTLCOLORSTATIC with a brush for the ground.
HBRUSH GroundBrush(HWND window, HDC dc) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return nullptr;
  LRESULT r = SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(window));
  auto brush = reinterpret_cast<HBRUSH>(r);
  return r != 0 && GetObjectType(brush) == OBJ_BRUSH ? brush : nullptr;
}

void PaintStatic(HWND window, const Static& s) {
  Paint paint(window);
  HDC dc = paint.dc();
  RECT client{};
  GetClientRect(window, &client);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  HBRUSH ground = GroundBrush(window, dc);
  if (ground != nullptr) FillRect(dc, &client, ground);
  else FillColour(dc, client, kGround);
  if ((style & SS_TYPEMASK) == SS_BITMAP) {
    BITMAP info{};
    if (s.image == nullptr || GetObjectW(s.image, sizeof info, &info) == 0) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, s.image);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return;
  }
  std::u16string text = WindowText(window);
  Select font(dc, UsableFont(s.font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(window) ? kText : kGrayText);
  UINT format = DT_WORDBREAK;
  if ((style & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
  else if ((style & SS_TYPEMASK) == SS_RIGHT) format |= DT_RIGHT;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
}

}  // namespace

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    Statics().Create(window);
    return 0;
  }
  std::shared_ptr<Static> s = Statics().Find(window);
  if (s == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY: Statics().Erase(window); return 0;
    case WM_PAINT: PaintStatic(window, *s); return 0;
    case STM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP) return 0;
      HBITMAP old = s->image;
      s->image = reinterpret_cast<HBITMAP>(lParam);
      BITMAP info{};
      LONG style = GetWindowLongW(window, GWL_STYLE);
      if ((style & SS_TYPEMASK) == SS_BITMAP && s->image != nullptr &&
          GetObjectW(s->image, sizeof info, &info) != 0)
        SetWindowPos(window, nullptr, 0, 0, info.bmWidth, info.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(window, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE: return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(s->image) : 0;
    case WM_LBUTTONDOWN:
      if (GetWindowLongW(window, GWL_STYLE) & SS_NOTIFY) Notify(window, STN_CLICKED);
      return 0;
    default: return CommonMessage(window, message, wParam, lParam, &s->font);
  }
}

}  // namespace controls
