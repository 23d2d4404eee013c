// The controls' shared pieces and the registration of their classes.
#include <algorithm>

#include "platform/controls/internal.h"
#include "platform/window/shared.h"

namespace controls {

HFONT DefaultFont() {
  static HFONT font = [] {
    LOGFONTW lf{};
    lf.lfHeight = PointsToHeight(8);
    lf.lfWeight = FW_NORMAL;
    return CreateFontIndirectW(&lf);
  }();
  return font;
}

LONG PointsToHeight(int points) { return -((points * 96 + 36) / 72); }

HFONT UsableFont(HFONT font) {
  return font != nullptr && GetObjectType(font) == OBJ_FONT ? font : DefaultFont();
}

LRESULT CommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HFONT* font) {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE: InvalidateRect(window, nullptr, TRUE); return 0;
    case WM_SETFONT:
      *font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(*font);
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

void Notify(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return;
  WORD id = static_cast<WORD>(GetWindowLongW(control, GWL_ID));
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

std::u16string WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return text;
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Frame(HDC dc, const RECT& r, COLORREF colour) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  FillColour(dc, {r.left, r.top, r.right, r.top + 1}, colour);
  FillColour(dc, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
  FillColour(dc, {r.left, r.top, r.left + 1, r.bottom}, colour);
  FillColour(dc, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

void Arrow(HDC dc, const RECT& r, bool up, COLORREF colour) {
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  int rows = std::min(width / 3, height / 2);
  if (rows < 1) return;
  int cx = r.left + (width - 1) / 2;
  int top = r.top + (height - rows) / 2;
  for (int i = 0; i < rows; ++i) {
    int half = up ? i : rows - 1 - i;
    FillColour(dc, {cx - half, top + i, cx + half + 1, top + i + 1}, colour);
  }
}

POINT BaseUnitsOf(HFONT font) {
  static const char16_t kLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = CreateCompatibleDC(nullptr);
  POINT units{4, 8};
  if (dc == nullptr) return units;
  {
    Select select(dc, UsableFont(font));
    SIZE size{};
    TEXTMETRICW tm{};
    if (GetTextExtentPoint32W(dc, kLetters, 52, &size) && GetTextMetricsW(dc, &tm)) {
      units.x = std::max<LONG>(1, (size.cx / 26 + 1) / 2);
      units.y = std::max<LONG>(1, tm.tmHeight);
    }
  }
  DeleteDC(dc);
  return units;
}

}  // namespace controls

void RegisterControlClasses() {
  struct Class {
    const char16_t* name;
    WNDPROC proc;
    UINT style;
  };
  const Class classes[] = {
      {u"STATIC", controls::StaticProc, 0},
      {u"BUTTON", controls::ButtonProc, 0},
      {u"EDIT", controls::EditProc, CS_DBLCLKS},
      {u"LISTBOX", controls::ListBoxProc, CS_DBLCLKS},
      {u"SCROLLBAR", controls::ScrollBarProc, 0},
  };
  for (const Class& c : classes) {
    WNDCLASSW wc{};
    wc.style = c.style;
    wc.lpfnWndProc = c.proc;
    wc.lpszClassName = c.name;
    RegisterClassW(&wc);
  }
  WNDCLASSW dialog{};
  dialog.lpfnWndProc = controls::DialogProc;
  dialog.cbWndExtra = 12;  // DWL_MSGRESULT, DWL_DLGPROC, DWL_USER
  dialog.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dialog.lpszClassName = u"Dialog";
  RegisterClassW(&dialog);
}
