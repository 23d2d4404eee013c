// The command bar and the menu bar: text buttons that open the menu's
// pop-ups, toolbar buttons with images, tooltips, and the close button.
#include <algorithm>
#include <unordered_map>

#include "platform/menus/internal.h"
#include "platform/resource.h"
#include "platform/window/shared.h"

namespace menus {
namespace {

constexpr int kImageSide = 16;
constexpr int kImageButton = 22;
constexpr int kTextPadding = 5;
constexpr int kSeparator = 6;
constexpr int kButtonTop = 2;
constexpr DWORD kHoldTicks = 500;
constexpr int kNoButton = -1;

struct Button {
  UINT command = 0;
  BYTE state = TBSTATE_ENABLED;
  bool separator = false;
  bool close = false;
  int image = -1;
  int width = 0;  // separators
  std::u16string text;
  HMENU popup = nullptr;
  int popupIndex = 0;
  int tip = -1;
  RECT rect{};
};

struct Bar {
  HWND window = nullptr;
  HWND parent = nullptr;
  bool menuBar = false;
  bool destroyed = false;
  HMENU menu = nullptr;  // destroyed with the bar
  std::vector<Button> buttons;
  std::vector<std::vector<COLORREF>> images;
  std::vector<std::u16string> tips;
  std::vector<bool> hasTip;
  int added = 0;  // buttons added by TB_ADDBUTTONSW, for their tips
  int pressed = kNoButton;
  bool pressedInside = false;
  int opened = kNoButton;
  DWORD pressTick = 0;
  HWND tip = nullptr;
};

std::unordered_map<HWND, std::shared_ptr<Bar>>& Bars() {
  static auto* bars = new std::unordered_map<HWND, std::shared_ptr<Bar>>;
  return *bars;
}

std::shared_ptr<Bar> BarOf(HWND window) {
  auto it = Bars().find(window);
  return it == Bars().end() ? nullptr : it->second;
}

bool Visible(const Button& b) { return !(b.state & TBSTATE_HIDDEN); }
bool Pressable(const Button& b) { return Visible(b) && !b.separator && (b.close || (b.state & TBSTATE_ENABLED)); }

void Layout(Bar& bar) {
  RECT client{0, 0, 0, 0};
  GetClientRect(bar.window, &client);
  HDC dc = GetDC(nullptr);
  UseUiText(dc, kText);
  int x = 2;
  for (Button& b : bar.buttons) {
    if (b.close) continue;
    int w = 0;
    if (!Visible(b)) w = 0;
    else if (b.separator) w = b.width > 0 ? b.width : kSeparator;
    else if (b.image >= 0) w = kImageButton;
    else w = TextWidth(dc, b.text) + 2 * kTextPadding;
    b.rect = {x, kButtonTop, x + w, kBarHeight - kButtonTop};
    x += w;
  }
  ReleaseDC(nullptr, dc);
  for (Button& b : bar.buttons)
    if (b.close) b.rect = {client.right - 2 - kImageButton, kButtonTop, client.right - 2, kBarHeight - kButtonTop};
}

void DrawImage(HDC dc, const std::vector<COLORREF>& image, int left, int top) {
  for (int y = 0; y < kImageSide; ++y)
    for (int x = 0; x < kImageSide; ++x) {
      COLORREF c = image[static_cast<size_t>(y) * kImageSide + x];
      if (c != kImageGround) SetPixel(dc, left + x, top + y, c);
    }
}

void DrawClose(HDC dc, const RECT& r, COLORREF ink) {
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  for (int d = -4; d <= 4; ++d) {
    FillBox(dc, {cx + d, cy + d, cx + d + 2, cy + d + 1}, ink);
    FillBox(dc, {cx + d, cy - d, cx + d + 2, cy - d + 1}, ink);
  }
}

void Paint(Bar& bar, HDC dc) {
  Layout(bar);
  RECT client{0, 0, 0, 0};
  GetClientRect(bar.window, &client);
  FillBox(dc, client, kFace);
  HorizontalLine(dc, client.left, client.right, bar.menuBar ? 0 : client.bottom - 1, kEdge);
  UseUiText(dc, kText);
  for (size_t i = 0; i < bar.buttons.size(); ++i) {
    const Button& b = bar.buttons[i];
    if (!Visible(b)) continue;
    const RECT& r = b.rect;
    if (b.separator) {
      FillBox(dc, {(r.left + r.right) / 2, r.top + 2, (r.left + r.right) / 2 + 1, r.bottom - 2}, kEdge);
      continue;
    }
    bool lit = static_cast<int>(i) == bar.opened || (static_cast<int>(i) == bar.pressed && bar.pressedInside);
    if (lit) FillBox(dc, r, kHighlight);
    COLORREF ink = lit ? kHighlightText : (b.close || (b.state & TBSTATE_ENABLED)) ? kText : kGrayText;
    if (b.close) {
      FrameBox(dc, {r.left + 3, r.top + 1, r.right - 3, r.bottom - 1}, ink);
      DrawClose(dc, r, ink);
    } else if (b.image >= 0) {
      if (static_cast<size_t>(b.image) < bar.images.size())
        DrawImage(dc, bar.images[b.image], r.left + (r.right - r.left - kImageSide) / 2,
                  r.top + (r.bottom - r.top - kImageSide) / 2);
    } else {
      SetTextColor(dc, ink);
      RECT text = r;
      DrawTextW(dc, b.text.c_str(), static_cast<int>(b.text.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
  }
}

void Redraw(const Bar& bar) { RedrawNow(bar.window); }

int ButtonAt(Bar& bar, POINT local) {
  Layout(bar);
  for (size_t i = 0; i < bar.buttons.size(); ++i)
    if (Pressable(bar.buttons[i]) && Inside(bar.buttons[i].rect, local)) return static_cast<int>(i);
  return kNoButton;
}

void HideTip(Bar& bar) {
  if (bar.tip == nullptr) return;
  HWND tip = bar.tip;
  bar.tip = nullptr;
  DestroyWindow(tip);
}

void ShowTip(Bar& bar) {
  if (bar.tip != nullptr || bar.pressed == kNoButton) return;
  const Button& b = bar.buttons[bar.pressed];
  if (b.tip < 0 || static_cast<size_t>(b.tip) >= bar.tips.size() || !bar.hasTip[b.tip]) return;
  const std::u16string& text = bar.tips[b.tip];
  HDC dc = GetDC(nullptr);
  UseUiText(dc, kText);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  int w = TextWidth(dc, text) + 8, h = tm.tmHeight + 4;
  ReleaseDC(nullptr, dc);
  RECT box = ClientOnScreen(bar.window);
  int x = std::max(0, std::min<int>(box.left + b.rect.left, GetSystemMetrics(SM_CXSCREEN) - w));
  int y = bar.menuBar ? box.top - h - 2 : box.top + kBarHeight + 2;
  bar.tip = CreateWindowExW(WS_EX_TOPMOST, kTipClass, text.c_str(), WS_POPUP, x, y, w, h, bar.window, nullptr,
                            nullptr, nullptr);
  if (bar.tip == nullptr) return;
  ShowWindow(bar.tip, SW_SHOWNA);
  UpdateWindow(bar.tip);
}

void EndPress(Bar& bar) {
  HideTip(bar);
  bar.pressed = kNoButton;
  bar.pressedInside = false;
  if (GetCapture() == bar.window) ReleaseCapture();
  Redraw(bar);
}

int NextMenuButton(const Bar& bar, int from, int direction) {
  int n = static_cast<int>(bar.buttons.size());
  for (int k = 1; k <= n; ++k) {
    int i = ((from + direction * k) % n + n) % n;
    if (bar.buttons[i].popup != nullptr && Pressable(bar.buttons[i])) return i;
  }
  return from;
}

// Opens the pop-up of button `index` and follows the user from pop-up to
// pop-up along the bar until a command is chosen or the menus are closed.
void RunMenus(const std::shared_ptr<Bar>& keep, int index, bool keyboard) {
  Bar& bar = *keep;
  while (!bar.destroyed && index != kNoButton) {
    Layout(bar);
    const Button& b = bar.buttons[index];
    RECT box = ClientOnScreen(bar.window);
    TrackRequest request;
    request.menu = b.popup;
    request.owner = bar.parent;
    request.at = {box.left + b.rect.left, bar.menuBar ? box.top : box.bottom};
    request.flags = TPM_LEFTALIGN | (bar.menuBar ? TPM_BOTTOMALIGN : TPM_TOPALIGN);
    request.exclude = &box;
    request.index = b.popupIndex;
    request.keyboard = keyboard;
    request.fromBar = true;
    bar.opened = index;
    Redraw(bar);
    TrackOutcome outcome = TrackMenu(request);
    if (bar.destroyed) return;
    bar.opened = kNoButton;
    Redraw(bar);
    int current = index;
    index = kNoButton;
    switch (outcome.end) {
      case TrackEnd::Chosen:
        if (IsWindow(bar.parent)) SendMessageW(bar.parent, WM_COMMAND, MAKEWPARAM(outcome.command, 0), 0);
        return;
      case TrackEnd::Left:
      case TrackEnd::Right:
        index = NextMenuButton(bar, current, outcome.end == TrackEnd::Left ? -1 : +1);
        keyboard = true;
        break;
      case TrackEnd::TapOutside: {
        RECT now = ClientOnScreen(bar.window);
        if (!Inside(now, outcome.tap)) return;
        int hit = ButtonAt(bar, {outcome.tap.x - now.left, outcome.tap.y - now.top});
        if (hit != current && hit != kNoButton && bar.buttons[hit].popup != nullptr) index = hit;
        keyboard = false;
        break;
      }
      case TrackEnd::Cancelled:
        return;
    }
  }
}

void OnPress(const std::shared_ptr<Bar>& keep, POINT local) {
  Bar& bar = *keep;
  if (bar.parent != nullptr && !IsWindowEnabled(bar.parent)) return;
  int hit = ButtonAt(bar, local);
  if (hit == kNoButton) return;
  if (bar.buttons[hit].popup != nullptr) return RunMenus(keep, hit, false);
  bar.pressed = hit;
  bar.pressedInside = true;
  bar.pressTick = GetTickCount();
  SetCapture(bar.window);
  Redraw(bar);
}

void OnRelease(const std::shared_ptr<Bar>& keep, POINT local) {
  Bar& bar = *keep;
  if (bar.pressed == kNoButton) return;
  const Button b = bar.buttons[bar.pressed];
  bool inside = Inside(b.rect, local);
  EndPress(bar);
  if (!inside || !IsWindow(bar.parent)) return;
  if (b.close) SendMessageW(bar.parent, WM_CLOSE, 0, 0);
  else SendMessageW(bar.parent, WM_COMMAND, MAKEWPARAM(b.command, 0), reinterpret_cast<LPARAM>(bar.window));
}

// The platform has no timers: the hold is measured each time the finger
// reports, as a touch panel does while it is held down.
void OnHold(Bar& bar) {
  if (bar.pressed == kNoButton) return;
  if (GetTickCount() - bar.pressTick >= kHoldTicks) ShowTip(bar);
}

// Toolbar images from a bitmap strip, 16 x 16 each.
int AddBitmap(Bar& bar, int count, const TBADDBITMAP* add) {
  if (add == nullptr || count <= 0) return -1;
  HBITMAP strip = LoadBitmapW(add->hInst, MAKEINTRESOURCEW(add->nID));
  if (strip == nullptr) return -1;
  BITMAP info{};
  GetObjectW(strip, sizeof info, &info);
  count = std::min(count, static_cast<int>(info.bmWidth / kImageSide));
  int first = static_cast<int>(bar.images.size());
  if (info.bmHeight >= kImageSide && count > 0) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    for (int i = 0; i < count; ++i) {
      std::vector<COLORREF> image(kImageSide * kImageSide);
      for (int y = 0; y < kImageSide; ++y)
        for (int x = 0; x < kImageSide; ++x) image[y * kImageSide + x] = GetPixel(dc, i * kImageSide + x, y);
      bar.images.push_back(std::move(image));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  DeleteObject(strip);
  if (count <= 0) return -1;
  Redraw(bar);
  return first;
}

BOOL AddButtons(Bar& bar, UINT count, const TBBUTTON* buttons) {
  if (buttons == nullptr || count > 1024) return FALSE;
  auto at = std::find_if(bar.buttons.begin(), bar.buttons.end(), [](const Button& b) { return b.close; });
  for (UINT i = 0; i < count; ++i) {
    const TBBUTTON& t = buttons[i];
    Button b;
    b.command = static_cast<UINT>(t.idCommand);
    b.state = t.fsState;
    b.separator = (t.fsStyle & TBSTYLE_SEP) != 0;
    if (b.separator) b.width = std::clamp(t.iBitmap, 0, 64);
    else b.image = std::max(t.iBitmap, 0);
    b.tip = 1 + bar.added++;
    at = bar.buttons.insert(at, b) + 1;
  }
  Redraw(bar);
  return TRUE;
}

void SetTips(Bar& bar, UINT count, const LPCWSTR* tips) {
  bar.tips.clear();
  bar.hasTip.clear();
  if (tips == nullptr) return;
  count = std::min<UINT>(count, 1024);
  for (UINT i = 0; i < count; ++i) {
    bar.hasTip.push_back(tips[i] != nullptr);
    std::u16string text;
    for (size_t n = 0; tips[i] != nullptr && tips[i][n] != 0 && n < 256; ++n) text.push_back(tips[i][n]);
    bar.tips.push_back(std::move(text));
  }
}

HMENU SubMenuOf(const Bar& bar, UINT command) {
  for (const Button& b : bar.buttons)
    if (b.popup != nullptr && b.command == command) return IsMenu(b.popup) ? b.popup : nullptr;
  return nullptr;
}

std::shared_ptr<Bar> MakeBar(HWND window, HWND parent, bool menuBar) {
  if (window == nullptr) return nullptr;
  auto bar = std::make_shared<Bar>();
  bar->window = window;
  bar->parent = parent;
  bar->menuBar = menuBar;
  Bars()[window] = bar;
  return bar;
}

// The menu's pop-ups as text buttons before position `at`.
void InsertMenuButtons(Bar& bar, HMENU menu, size_t at, bool commandBar) {
  Menu* m = FindMenu(menu);
  if (m == nullptr) return;
  at = std::min(at, bar.buttons.size());
  std::vector<Button> add;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const Item& item = m->items[i];
    if (item.popup == nullptr) continue;
    Button b;
    b.text = item.text;
    b.popup = item.popup;
    b.popupIndex = static_cast<int>(i);
    b.tip = commandBar ? 0 : -1;
    add.push_back(b);
  }
  bar.buttons.insert(bar.buttons.begin() + static_cast<std::ptrdiff_t>(at), add.begin(), add.end());
}

}  // namespace

LRESULT BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Bar> bar = BarOf(window);
  if (bar == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  POINT local{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_PAINT:
      PaintWindow(window, [&](HDC dc) { Paint(*bar, dc); });
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_ACTIVATE:
      // A tap on the menu bar leaves its window active, with the keys.
      if (bar->menuBar && LOWORD(wParam) != WA_INACTIVE && IsWindow(bar->parent)) SetForegroundWindow(bar->parent);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnPress(bar, local);
      return 0;
    case WM_MOUSEMOVE:
      if (bar->pressed != kNoButton) {
        bool inside = Inside(bar->buttons[bar->pressed].rect, local);
        if (inside != bar->pressedInside) {
          bar->pressedInside = inside;
          Redraw(*bar);
        }
        OnHold(*bar);
      }
      return 0;
    case WM_LBUTTONUP:
      OnRelease(bar, local);
      return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (bar->pressed != kNoButton && reinterpret_cast<HWND>(lParam) != window) EndPress(*bar);
      return 0;
    case WM_DESTROY:
      bar->destroyed = true;
      HideTip(*bar);
      if (bar->menu != nullptr) DestroyMenu(bar->menu);
      bar->menu = nullptr;
      Bars().erase(window);
      return 0;
    case TB_SETTOOLTIPS:
      SetTips(*bar, static_cast<UINT>(wParam), reinterpret_cast<const LPCWSTR*>(lParam));
      return 0;
    case TB_ADDBITMAP:
      return AddBitmap(*bar, static_cast<int>(wParam), reinterpret_cast<const TBADDBITMAP*>(lParam));
    case TB_ADDBUTTONSW:
      return AddButtons(*bar, static_cast<UINT>(wParam), reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_BUTTONCOUNT:
      return static_cast<LRESULT>(bar->buttons.size());
    case TB_GETITEMRECT: {
      RECT* out = reinterpret_cast<RECT*>(lParam);
      if (out == nullptr || wParam >= bar->buttons.size()) return FALSE;
      Layout(*bar);
      *out = bar->buttons[wParam].rect;
      return TRUE;
    }
    case SHCMBM_GETSUBMENU:
      return reinterpret_cast<LRESULT>(SubMenuOf(*bar, static_cast<UINT>(lParam)));
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintWindow(window, [window](HDC dc) {
      RECT client{0, 0, 0, 0};
      GetClientRect(window, &client);
      FillBox(dc, client, kTipBack);
      FrameBox(dc, client, kBorder);
      WCHAR text[260] = {};
      GetWindowTextW(window, text, 260);
      UseUiText(dc, kText);
      DrawTextW(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    });
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace menus

using menus::BarOf;

bool MenuBarKey(HWND window, UINT message, WPARAM key) {
  // Alt opens the bar when it comes up with no other key pressed meanwhile.
  bool open = key == menus::kKeyF10 && message == WM_SYSKEYDOWN;
  if (message == WM_SYSKEYUP && key == VK_MENU) open = AltWentDownAlone();
  if (!open) return false;
  for (HWND w = window; w != nullptr; w = GetParent(w)) {
    for (auto& [handle, bar] : menus::Bars()) {
      if (bar->parent != w || !IsWindowVisible(handle) || !IsWindowEnabled(w)) continue;
      int first = menus::NextMenuButton(*bar, static_cast<int>(bar->buttons.size()) - 1, +1);
      if (first < 0 || bar->buttons[first].popup == nullptr) return false;
      std::shared_ptr<menus::Bar> keep = bar;
      menus::RunMenus(keep, first, true);
      return true;
    }
  }
  return false;
}

HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id) {
  RECT client{0, 0, 0, 0};
  if (!IsWindow(parent) || !GetClientRect(parent, &client)) return nullptr;
  HWND window = CreateWindowExW(0, menus::kCommandBarClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                menus::kBarHeight, parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)),
                                instance, nullptr);
  if (menus::MakeBar(window, parent, false) == nullptr) return nullptr;
  return window;
}

int CommandBar_Height(HWND bar) {
  RECT r{0, 0, 0, 0};
  if (BarOf(bar) == nullptr || !GetWindowRect(bar, &r)) return 0;
  return r.bottom - r.top;
}

BOOL CommandBar_InsertMenubar(HWND window, HINSTANCE instance, WORD menuId, WORD button) {
  std::shared_ptr<menus::Bar> bar = BarOf(window);
  if (bar == nullptr || bar->menu != nullptr) return FALSE;
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
  if (menu == nullptr) return FALSE;
  bar->menu = menu;
  menus::InsertMenuButtons(*bar, menu, button, true);
  menus::Redraw(*bar);
  return TRUE;
}

BOOL CommandBar_AddToolTips(HWND bar, UINT count, LPCWSTR* tips) {
  if (BarOf(bar) == nullptr) return FALSE;
  SendMessageW(bar, TB_SETTOOLTIPS, count, reinterpret_cast<LPARAM>(tips));
  return TRUE;
}

int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int images, int width, int height) {
  if (BarOf(bar) == nullptr || width != 16 || height != 16) return -1;
  TBADDBITMAP add{instance, static_cast<UINT_PTR>(bitmapId)};
  return static_cast<int>(SendMessageW(bar, TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&add)));
}

BOOL CommandBar_AddButtons(HWND bar, UINT count, const TBBUTTON* buttons) {
  if (BarOf(bar) == nullptr) return FALSE;
  return static_cast<BOOL>(SendMessageW(bar, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons)));
}

BOOL CommandBar_AddAdornments(HWND window, DWORD, DWORD) {
  std::shared_ptr<menus::Bar> bar = BarOf(window);
  if (bar == nullptr) return FALSE;
  for (const menus::Button& b : bar->buttons)
    if (b.close) return TRUE;
  menus::Button close;
  close.close = true;
  bar->buttons.push_back(close);
  menus::Redraw(*bar);
  return TRUE;
}

BOOL CommandBar_Show(HWND bar, BOOL show) {
  if (BarOf(bar) == nullptr) return FALSE;
  ShowWindow(bar, show ? SW_SHOWNA : SW_HIDE);
  return TRUE;
}

HMENU CommandBar_GetMenu(HWND window, WORD) {
  std::shared_ptr<menus::Bar> bar = BarOf(window);
  return bar == nullptr || !IsMenu(bar->menu) ? nullptr : bar->menu;
}

void CommandBar_Destroy(HWND bar) {
  if (BarOf(bar) != nullptr) DestroyWindow(bar);
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (info == nullptr || (info->cbSize != 32 && info->cbSize != sizeof *info)) return FALSE;
  info->hwndMB = nullptr;
  HWND parent = info->hwndParent;
  if (!IsWindow(parent)) return FALSE;
  MenuBarDescription description;
  std::vector<MenuTemplateItem> items;
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    HMODULE module = info->hInstRes;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(info->nToolBarId), RT_RCDATA);
    const void* bytes = found != nullptr ? LoadResource(module, found) : nullptr;
    std::string error;
    if (bytes == nullptr ||
        !DecodeMenuBarDescription(static_cast<const uint8_t*>(bytes), SizeofResource(module, found), &description,
                                  &error) ||
        !menus::ReadMenuTemplate(info->hInstRes, MAKEINTRESOURCEW(description.menuId), &items) ||
        !CheckMenuBarAgainstMenu(description, items, &error))
      return FALSE;
  }
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HWND window = CreateWindowExW(0, menus::kMenuBarClass, u"", WS_POPUP, 0, height - menus::kBarHeight, width,
                                menus::kBarHeight, parent, nullptr, info->hInstRes, nullptr);
  std::shared_ptr<menus::Bar> bar = menus::MakeBar(window, parent, true);
  if (bar == nullptr) return FALSE;
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    bar->menu = menus::BuildMenu(items);
    for (const MenuBarButton& d : description.buttons) {
      menus::Button b;
      b.command = d.command;
      b.state = static_cast<BYTE>(d.state);
      b.separator = (d.style & TBSTYLE_SEP) != 0;
      b.tip = 0;
      if (d.style & TBSTYLE_DROPDOWN) {
        b.popup = GetSubMenu(bar->menu, d.popup);
        b.popupIndex = d.popup;
      }
      if (d.image != kMenuBarNoImage) b.image = d.image;
      WCHAR text[128] = {};
      if (d.stringId != 0 && LoadStringW(info->hInstRes, d.stringId, text, 128) > 0) b.text = text;
      else if (b.popup != nullptr) b.text = items[d.popup].text;
      bar->buttons.push_back(b);
    }
  }
  if (info->nBmpId != 0 && info->cBmpImages > 0) {
    TBADDBITMAP add{info->hInstRes, static_cast<UINT_PTR>(info->nBmpId)};
    menus::AddBitmap(*bar, info->cBmpImages, &add);
  }
  info->hwndMB = window;
  // Shown without taking the activation from its window.
  if (!(info->dwFlags & SHCMBF_HIDDEN)) ShowWindow(window, SW_SHOWNA);
  menus::Redraw(*bar);
  return TRUE;
}
