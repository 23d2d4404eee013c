// Message boxes: a modal box centred on the screen, under the window
// system's caption: the text, an icon and a row of buttons. Every box is recorded for tests; an answer
// that a test queued is given once the box has been painted.
#include <algorithm>
#include <deque>
#include <optional>
#include <unordered_map>

#include "platform/dialogs.h"
#include "platform/menus/internal.h"
#include "platform/testing.h"
#include "platform/window/shared.h"

namespace {

std::vector<MessageBoxRecord> g_shown;
std::deque<int> g_answers;

constexpr int kMargin = 8;
constexpr int kIconSide = 24;
constexpr int kButtonHeight = 22;
constexpr int kButtonWidth = 64;
constexpr int kButtonGap = 8;
constexpr UINT kButtonMask = 0x0F;
constexpr UINT kIconMask = 0xF0;

struct BoxButton {
  int answer = IDOK;
  const char16_t* label = u"OK";
  RECT rect{};
};

struct Box {
  HWND window = nullptr;
  std::u16string text;
  std::u16string caption;
  UINT flags = 0;
  std::vector<BoxButton> buttons;
  int focused = 0;
  int pressed = -1;
  bool pressedInside = false;
  RECT textRect{};
  bool done = false;
  int answer = IDOK;
};

std::unordered_map<HWND, Box*>& Boxes() {
  static auto* boxes = new std::unordered_map<HWND, Box*>;
  return *boxes;
}

Box* BoxOf(HWND window) {
  auto it = Boxes().find(window);
  return it == Boxes().end() ? nullptr : it->second;
}

std::vector<BoxButton> ButtonsFor(UINT flags) {
  switch (flags & kButtonMask) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    default: return {{IDOK, u"OK"}};
  }
}

bool HasButton(const Box& box, int answer) {
  return std::any_of(box.buttons.begin(), box.buttons.end(), [&](const BoxButton& b) { return b.answer == answer; });
}

// The answer of a box that is dismissed without a choice.
int CancelAnswer(const Box& box) {
  if (HasButton(box, IDCANCEL)) return IDCANCEL;
  if (HasButton(box, IDNO)) return IDNO;
  if (HasButton(box, IDABORT)) return IDABORT;
  return IDOK;
}

void Finish(Box& box, int answer) {
  if (box.done) return;
  box.done = true;
  box.answer = answer;
}

int IconOf(UINT flags) { return static_cast<int>(flags & kIconMask); }

// Lays the box's client area out and returns its size.
SIZE Measure(Box& box) {
  HDC dc = GetDC(nullptr);
  menus::UseUiText(dc, menus::kText);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  int screen = std::max(1, GetSystemMetrics(SM_CXSCREEN));
  int width = std::max(120, std::min(screen - 16, 224));
  int textLeft = kMargin + (IconOf(box.flags) != 0 ? kIconSide + kMargin : 0);
  RECT text{textLeft, kMargin + 2, width - kMargin, 0};
  text.bottom = text.top;
  if (!box.text.empty())
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  text.right = width - kMargin;
  int maxText = std::max(tm.tmHeight, GetSystemMetrics(SM_CYSCREEN) - 120);
  text.bottom = std::min<LONG>(text.bottom, text.top + maxText);
  box.textRect = text;
  ReleaseDC(nullptr, dc);
  int buttonWidth = kButtonWidth;
  int n = static_cast<int>(box.buttons.size());
  int row = n * buttonWidth + (n - 1) * kButtonGap;
  if (row > width - 2 * kMargin) {
    buttonWidth = std::max(24, (width - 2 * kMargin - (n - 1) * kButtonGap) / n);
    row = n * buttonWidth + (n - 1) * kButtonGap;
  }
  int contentBottom = std::max<int>(text.bottom, IconOf(box.flags) != 0 ? text.top + kIconSide : 0);
  int y = contentBottom + 2 * kMargin, x = (width - row) / 2;
  for (BoxButton& b : box.buttons) {
    b.rect = {x, y, x + buttonWidth, y + kButtonHeight};
    x += buttonWidth + kButtonGap;
  }
  return {width, y + kButtonHeight + kMargin};
}

void Disc(HDC dc, int cx, int cy, int radius, COLORREF colour) {
  for (int y = -radius; y <= radius; ++y)
    for (int x = -radius; x <= radius; ++x)
      if (x * x + y * y <= radius * radius + radius) SetPixel(dc, cx + x, cy + y, colour);
}

void Glyph(HDC dc, const char16_t* glyph, RECT r, COLORREF colour) {
  LOGFONTW lf{};
  lf.lfHeight = 20;
  lf.lfWeight = FW_BOLD;
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, glyph, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

void DrawIcon(HDC dc, int icon, int left, int top) {
  int cx = left + kIconSide / 2, cy = top + kIconSide / 2, r = kIconSide / 2 - 1;
  RECT square{left, top, left + kIconSide, top + kIconSide};
  switch (icon) {
    case MB_ICONSTOP:
      Disc(dc, cx, cy, r, RGB(208, 0, 0));
      for (int d = -5; d <= 5; ++d) {
        menus::FillBox(dc, {cx + d - 1, cy + d, cx + d + 2, cy + d + 1}, RGB(255, 255, 255));
        menus::FillBox(dc, {cx + d - 1, cy - d, cx + d + 2, cy - d + 1}, RGB(255, 255, 255));
      }
      break;
    case MB_ICONEXCLAMATION:
      for (int y = 0; y < kIconSide - 2; ++y) {
        int half = y / 2 + 1;
        menus::FillBox(dc, {cx - half, top + 1 + y, cx + half, top + 2 + y}, RGB(240, 200, 0));
      }
      menus::FillBox(dc, {cx - 1, top + 8, cx + 1, top + 16}, RGB(0, 0, 0));
      menus::FillBox(dc, {cx - 1, top + 18, cx + 1, top + 20}, RGB(0, 0, 0));
      break;
    case MB_ICONQUESTION:
      Disc(dc, cx, cy, r, menus::kHighlight);
      Glyph(dc, u"?", square, RGB(255, 255, 255));
      break;
    case MB_ICONINFORMATION:
      Disc(dc, cx, cy, r, menus::kHighlight);
      Glyph(dc, u"i", square, RGB(255, 255, 255));
      break;
  }
}

void Paint(Box& box, HDC dc) {
  RECT client{0, 0, 0, 0};
  GetClientRect(box.window, &client);
  menus::FillBox(dc, client, menus::kWindow);
  if (IconOf(box.flags) != 0) DrawIcon(dc, IconOf(box.flags), kMargin, box.textRect.top);
  menus::UseUiText(dc, menus::kText);
  RECT text = box.textRect;
  DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text, DT_WORDBREAK | DT_NOPREFIX);
  for (size_t i = 0; i < box.buttons.size(); ++i) {
    const BoxButton& b = box.buttons[i];
    bool lit = static_cast<int>(i) == box.pressed && box.pressedInside;
    menus::FillBox(dc, b.rect, lit ? menus::kHighlight : menus::kFace);
    menus::FrameBox(dc, b.rect, menus::kBorder);
    if (static_cast<int>(i) == box.focused)
      menus::FrameBox(dc, {b.rect.left + 1, b.rect.top + 1, b.rect.right - 1, b.rect.bottom - 1}, menus::kBorder);
    menus::UseUiText(dc, lit ? menus::kHighlightText : menus::kText);
    RECT label = b.rect;
    DrawTextW(dc, b.label, -1, &label, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  }
}

void Redraw(const Box& box) { menus::RedrawNow(box.window); }

int ButtonAt(const Box& box, POINT p) {
  for (size_t i = 0; i < box.buttons.size(); ++i)
    if (menus::Inside(box.buttons[i].rect, p)) return static_cast<int>(i);
  return -1;
}

void OnKey(Box& box, WPARAM key) {
  int n = static_cast<int>(box.buttons.size());
  switch (key) {
    case VK_RETURN:
    case VK_SPACE:
      return Finish(box, box.buttons[box.focused].answer);
    case VK_ESCAPE:
      if (HasButton(box, IDCANCEL) || n == 1) Finish(box, CancelAnswer(box));
      return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_TAB:
      box.focused = (box.focused + (key == VK_LEFT ? n - 1 : 1)) % n;
      return Redraw(box);
  }
}

HWND TopLevel(HWND window) {
  while (window != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) && GetParent(window) != nullptr)
    window = GetParent(window);
  return window;
}

}  // namespace

namespace menus {

LRESULT MessageBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Box* box = BoxOf(window);
  if (box == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  POINT local{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_PAINT:
      PaintWindow(window, [box](HDC dc) { Paint(*box, dc); });
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYDOWN:
      OnKey(*box, wParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      box->pressed = ButtonAt(*box, local);
      box->pressedInside = box->pressed >= 0;
      if (box->pressed >= 0) {
        SetCapture(window);
        Redraw(*box);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (box->pressed >= 0) {
        bool inside = Inside(box->buttons[box->pressed].rect, local);
        if (inside != box->pressedInside) {
          box->pressedInside = inside;
          Redraw(*box);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (box->pressed >= 0) {
        int pressed = box->pressed;
        bool inside = Inside(box->buttons[pressed].rect, local);
        box->pressed = -1;
        box->pressedInside = false;
        if (GetCapture() == window) ReleaseCapture();
        Redraw(*box);
        if (inside) Finish(*box, box->buttons[pressed].answer);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) Finish(*box, CancelAnswer(*box));
      else if (HasButton(*box, LOWORD(wParam))) Finish(*box, LOWORD(wParam));
      return 0;
    case WM_CLOSE:
    case WM_CANCELMODE:
    case WM_DESTROY:
      Finish(*box, CancelAnswer(*box));
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace menus

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags) {
  MessageBoxRecord r;
  r.owner = owner;
  if (text != nullptr) r.text = text;
  r.hasCaption = caption != nullptr;
  r.caption = caption != nullptr ? caption : u"Error";
  r.flags = flags;
  g_shown.push_back(r);

  Box box;
  box.text = r.text;
  box.caption = r.caption;
  box.flags = flags;
  box.buttons = ButtonsFor(flags);
  box.focused = (flags & MB_DEFBUTTON2) && box.buttons.size() > 1 ? 1 : 0;
  box.answer = CancelAnswer(box);
  SIZE size = Measure(box);
  owner = IsWindow(owner) ? TopLevel(owner) : nullptr;
  box.window = CreateWindowExW(0, menus::kMessageBoxClass, box.caption.c_str(), WS_POPUP | WS_CAPTION, 0, 0,
                               size.cx, size.cy, owner, nullptr, nullptr, nullptr);
  std::optional<int> queued;
  if (!g_answers.empty()) {
    queued = g_answers.front();
    g_answers.pop_front();
  }
  if (box.window == nullptr) return queued.value_or(box.answer);
  Boxes()[box.window] = &box;
  // The caption and border come on top of the client area.
  RECT outer{0, 0, 0, 0}, inner{0, 0, 0, 0};
  GetWindowRect(box.window, &outer);
  GetClientRect(box.window, &inner);
  int width = size.cx + (outer.right - outer.left) - inner.right;
  int height = size.cy + (outer.bottom - outer.top) - inner.bottom;
  MoveWindow(box.window, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
             std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2), width, height, FALSE);

  HWND focus = GetFocus();
  bool disabled = owner != nullptr && IsWindowEnabled(owner);
  if (disabled) EnableWindow(owner, FALSE);
  ShowWindow(box.window, SW_SHOW);
  SetFocus(box.window);
  UpdateWindow(box.window);
  EnterModalLoop(box.window);
  if (queued) Finish(box, *queued);
  while (!box.done) {
    MSG msg{};
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      Finish(box, CancelAnswer(box));
      break;
    }
    // Taps and keys belong to the box while it is up.
    bool pointer = msg.message >= WM_MOUSEMOVE && msg.message <= WM_LBUTTONDBLCLK;
    if (pointer && msg.hwnd != box.window) continue;
    if (msg.message == WM_KEYDOWN) {
      OnKey(box, msg.wParam);
      continue;
    }
    if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSCHAR) continue;
    DispatchMessageW(&msg);
  }
  LeaveModalLoop(box.window);
  if (disabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  Boxes().erase(box.window);
  DestroyWindow(box.window);
  if (IsWindow(focus)) SetFocus(focus);
  return box.answer;
}

void TestQueueMessageBoxAnswer(int answer) { g_answers.push_back(answer); }
const std::vector<MessageBoxRecord>& TestMessageBoxes() { return g_shown; }
void TestClearMessageBoxes() {
  g_shown.clear();
  g_answers.clear();
}
