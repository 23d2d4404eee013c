// BUTTON: push and default push buttons, automatic check boxes and radio
// buttons (a group runs from a WS_GROUP sibling to the next), owner-drawn.
#include <algorithm>
#include <vector>

#include "platform/controls/internal.h"

namespace controls {
namespace {

struct Button : Base {
  HFONT font = nullptr;
  UINT check = BST_UNCHECKED;
  bool pressed = false;   // drawn pushed in
  bool tracking = false;  // the pointer went down on it and is held
  bool spaceDown = false;
  bool focus = false;
};

StateTable<Button>& Buttons() {
  static auto* table = new StateTable<Button>;
  return *table;
}

UINT Type(HWND window) { return static_cast<UINT>(GetWindowLongW(window, GWL_STYLE)) & BS_TYPEMASK; }

bool IsRadio(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool IsCheck(UINT type) { return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX; }

void SetCheck(HWND window, Button& b, UINT check) {
  if (b.check == check) return;
  b.check = check;
  InvalidateRect(window, nullptr, TRUE);
}

// Unchecks the other automatic radio buttons of this one's group.
void UncheckGroup(HWND window) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return;
  std::vector<HWND> siblings;
  for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr && siblings.size() < 65536;
       w = GetWindow(w, GW_HWNDNEXT))
    siblings.push_back(w);
  auto self = std::find(siblings.begin(), siblings.end(), window);
  if (self == siblings.end()) return;
  auto first = self;
  while (first != siblings.begin() && !(GetWindowLongW(*first, GWL_STYLE) & WS_GROUP)) --first;
  auto last = self + 1;
  while (last != siblings.end() && !(GetWindowLongW(*last, GWL_STYLE) & WS_GROUP)) ++last;
  for (auto it = first; it != last; ++it) {
    if (*it == window || Type(*it) != BS_AUTORADIOBUTTON) continue;
    if (std::shared_ptr<Button> other = Buttons().Find(*it)) SetCheck(*it, *other, BST_UNCHECKED);
  }
}

void Click(HWND window, const std::shared_ptr<Button>& b) {
  UINT type = Type(window);
  if (type == BS_AUTOCHECKBOX) SetCheck(window, *b, b->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  if (type == BS_AUTORADIOBUTTON) {
    SetCheck(window, *b, BST_CHECKED);
    UncheckGroup(window);
  }
  Notify(window, BN_CLICKED);
}

void SetPressed(HWND window, Button& b, bool pressed) {
  if (b.pressed == pressed) return;
  b.pressed = pressed;
  InvalidateRect(window, nullptr, TRUE);
}

void DrawMark(HDC dc, const RECT& box, UINT type, UINT check, bool pressed, bool enabled) {
  COLORREF ink = enabled ? kText : kGrayText;
  int size = box.right - box.left;
  if (IsCheck(type)) {
    FillColour(dc, box, pressed ? kButtonFace : kGround);
    Frame(dc, box, ink);
    if (check != BST_CHECKED) return;
    // A tick two pixels thick: down from the left to a third of the way,
    // then up to the top right.
    int left = box.left + 2, right = box.right - 3;
    int low = box.left + (size - 1) / 2 - 1;
    int bottom = box.bottom - 4, top = box.top + 2;
    int startY = box.top + size / 2 - 1;
    auto yAt = [&](int x) {
      return x <= low ? startY + (x - left) * (bottom - startY) / std::max(1, low - left)
                      : bottom - (x - low) * (bottom - top) / std::max(1, right - low);
    };
    for (int x = left; x <= right; ++x) {
      int y0 = yAt(x), y1 = x < right ? yAt(x + 1) : y0;
      FillColour(dc, {x, std::min(y0, y1), x + 1, std::max(y0, y1) + 2}, ink);
    }
    return;
  }
  // A circle, and a dot when checked.
  double r = size / 2.0;
  double cx = box.left + r, cy = box.top + r;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      double d = dx * dx + dy * dy;
      if (d <= r * r && d >= (r - 1.2) * (r - 1.2)) SetPixel(dc, x, y, ink);
      else if (d < (r - 1.2) * (r - 1.2)) SetPixel(dc, x, y, pressed ? kButtonFace : kGround);
      if (check == BST_CHECKED && d <= (r - 3) * (r - 3)) SetPixel(dc, x, y, ink);
    }
  }
}

void PaintButton(HWND window, const Button& b) {
  Paint paint(window);
  HDC dc = paint.dc();
  RECT client{};
  GetClientRect(window, &client);
  UINT type = Type(window);
  bool enabled = IsWindowEnabled(window);
  if (type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetWindowLongW(window, GWL_ID));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (b.pressed ? ODS_SELECTED : 0) | (b.focus ? ODS_FOCUS : 0) |
                     (enabled ? 0 : ODS_DISABLED);
    item.hwndItem = window;
    item.hDC = dc;
    item.rcItem = client;
    Select font(dc, UsableFont(b.font));  // the owner draws in the button's font
    if (HWND parent = GetParent(window))
      SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    return;
  }
  std::u16string text = WindowText(window);
  Select font(dc, UsableFont(b.font));
  SetBkMode(dc, TRANSPARENT);
  if (IsCheck(type) || IsRadio(type)) {
    FillColour(dc, client, kGround);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int height = client.bottom - client.top;
    int size = std::clamp<int>(tm.tmHeight - 2, 9, 13) | 1;  // odd: the circle has a centre pixel
    size = std::min(size, std::max(1, height));
    int top = client.top + (height - size) / 2;
    DrawMark(dc, {client.left, top, client.left + size, top + size}, type, b.check, b.pressed, enabled);
    RECT label{client.left + size + 4, client.top, client.right, client.bottom};
    SetTextColor(dc, enabled ? kText : kGrayText);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (b.focus) Frame(dc, {label.left - 2, client.top, client.right, client.bottom}, kGrayText);
    return;
  }
  FillColour(dc, client, b.pressed ? kHighlight : kButtonFace);
  Frame(dc, client, enabled ? kFrame : kGrayText);
  if (type == BS_DEFPUSHBUTTON)
    Frame(dc, {client.left + 1, client.top + 1, client.right - 1, client.bottom - 1}, kFrame);
  SetTextColor(dc, b.pressed ? kHighlightText : enabled ? kText : kGrayText);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (b.focus && !b.pressed)
    Frame(dc, {client.left + 3, client.top + 3, client.right - 3, client.bottom - 3}, kGrayText);
}

bool InsideClient(HWND window, LPARAM lParam) {
  RECT client{};
  GetClientRect(window, &client);
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    Buttons().Create(window);
    return 0;
  }
  std::shared_ptr<Button> b = Buttons().Find(window);
  if (b == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY: Buttons().Erase(window); return 0;
    case WM_PAINT: PaintButton(window, *b); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      b->focus = message == WM_SETFOCUS;
      if (!b->focus) {
        b->spaceDown = false;
        if (!b->tracking) SetPressed(window, *b, false);
      }
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(window)) return 0;
      b->tracking = true;
      SetPressed(window, *b, true);
      SetCapture(window);
      if (!b->dead && GetFocus() != window) SetFocus(window);
      return 0;
    case WM_MOUSEMOVE:
      if (b->tracking) SetPressed(window, *b, InsideClient(window, lParam));
      return 0;
    case WM_LBUTTONUP: {
      if (!b->tracking) return 0;
      bool inside = InsideClient(window, lParam);
      b->tracking = false;
      SetPressed(window, *b, false);
      if (GetCapture() == window) ReleaseCapture();
      if (inside && !b->dead) Click(window, b);
      return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (b->tracking) {
        b->tracking = false;
        SetPressed(window, *b, false);
        if (message == WM_CANCELMODE && GetCapture() == window) ReleaseCapture();
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && IsWindowEnabled(window)) {
        b->spaceDown = true;
        SetPressed(window, *b, true);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && b->spaceDown) {
        b->spaceDown = false;
        SetPressed(window, *b, false);
        Click(window, b);
      }
      return 0;
    case BM_GETCHECK: return b->check;
    case BM_SETCHECK: {
      UINT type = Type(window);
      if (IsCheck(type) || IsRadio(type))
        SetCheck(window, *b, wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED);
      return 0;
    }
    case BM_GETSTATE:
      return b->check | (b->pressed ? BST_PUSHED : 0) | (b->focus ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPressed(window, *b, wParam != 0); return 0;
    case BM_SETSTYLE: {
      LONG style = GetWindowLongW(window, GWL_STYLE);
      SetWindowLongW(window, GWL_STYLE, (style & ~0xFFFF) | static_cast<LONG>(wParam & 0xFFFF));
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(window)) Click(window, b);
      return 0;
    default: return CommonMessage(window, message, wParam, lParam, &b->font);
  }
}

}  // namespace controls
