// Pop-up menus: their window, their look, and the modal loop that tracks
// taps and keys while one is open.
#include <algorithm>

#include "platform/dialogs.h"
#include "platform/menus/internal.h"
#include "platform/window/shared.h"

namespace menus {
namespace {

constexpr int kMarkColumn = 18;
constexpr int kRightMargin = 8;
constexpr int kShortcutGap = 16;
constexpr int kArrowRoom = 10;
constexpr int kSeparatorHeight = 5;

struct Level {
  HMENU menu = nullptr;
  HWND window = nullptr;
  int selected = -1;
  std::vector<RECT> rows;  // client coordinates, one per item
};

struct Tracking {
  std::vector<Level> levels;
  HWND owner = nullptr;
  bool fromBar = false;
  bool armed = false;  // a tap or a move since opening: a release may choose
  bool done = false;
  TrackOutcome outcome;
};

Tracking* g_tracking = nullptr;

int ItemHeight(HDC dc) {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  return tm.tmHeight + 2;
}

// The rows of the menu's items and the pop-up's size.
SIZE Measure(const Menu& menu, std::vector<RECT>* rows) {
  HDC dc = GetDC(nullptr);
  UseUiText(dc, kText);
  int label = 0, shortcut = 0, height = ItemHeight(dc);
  bool arrows = false;
  for (const Item& item : menu.items) {
    if (item.separator) continue;
    label = std::max(label, TextWidth(dc, Label(item.text)));
    shortcut = std::max(shortcut, TextWidth(dc, Shortcut(item.text)));
    arrows = arrows || item.popup != nullptr;
  }
  ReleaseDC(nullptr, dc);
  int width = 1 + kMarkColumn + label + (shortcut > 0 ? kShortcutGap + shortcut : 0) + kRightMargin +
              (arrows ? kArrowRoom : 0) + 1;
  width = std::min(width, std::max(1, GetSystemMetrics(SM_CXSCREEN)));
  rows->clear();
  int y = 1;
  for (const Item& item : menu.items) {
    int h = item.separator ? kSeparatorHeight : height;
    rows->push_back({1, y, width - 1, y + h});
    y += h;
  }
  return {width, y + 1};
}

void PaintLevel(HDC dc, const Level& level) {
  RECT client{0, 0, 0, 0};
  GetClientRect(level.window, &client);
  FillBox(dc, client, kWindow);
  FrameBox(dc, client, kBorder);
  Menu* menu = FindMenu(level.menu);
  if (menu == nullptr) return;
  UseUiText(dc, kText);
  size_t count = std::min(menu->items.size(), level.rows.size());
  for (size_t i = 0; i < count; ++i) {
    const Item& item = menu->items[i];
    RECT row = level.rows[i];
    if (item.separator) {
      HorizontalLine(dc, row.left + 3, row.right - 3, (row.top + row.bottom) / 2, kEdge);
      continue;
    }
    bool selected = static_cast<int>(i) == level.selected;
    if (selected) FillBox(dc, row, kHighlight);
    COLORREF ink = selected ? kHighlightText : item.grayed ? kGrayText : kText;
    SetTextColor(dc, ink);
    int middle = (row.top + row.bottom) / 2;
    if (item.checked) {
      if (item.radio) DrawRadioMark(dc, row.left + kMarkColumn / 2, middle, ink);
      else DrawCheckMark(dc, row.left + kMarkColumn / 2, middle, ink);
    }
    RECT text{row.left + kMarkColumn, row.top, row.right - kRightMargin, row.bottom};
    std::u16string label = Label(item.text), shortcut = Shortcut(item.text);
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_VCENTER);
    if (item.popup != nullptr) {
      int x = row.right - kRightMargin - 4;
      for (int d = 0; d < 4; ++d) FillBox(dc, {x + d, middle - 3 + d, x + d + 1, middle + 4 - d}, ink);
      text.right -= kArrowRoom;
    }
    if (!shortcut.empty())
      DrawTextW(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

Level* LevelOf(HWND window) {
  if (g_tracking == nullptr) return nullptr;
  for (Level& level : g_tracking->levels)
    if (level.window == window) return &level;
  return nullptr;
}

void Redraw(const Level& level) { RedrawNow(level.window); }

void End(Tracking& t, TrackEnd end, UINT command = 0, POINT tap = {}) {
  if (t.done) return;
  t.done = true;
  t.outcome.end = end;
  t.outcome.command = command;
  t.outcome.tap = tap;
}

// Places a w x h pop-up by the alignment flags, on the screen, and off the
// excluded band when it fits on either side of it.
POINT Place(POINT at, SIZE size, UINT flags, const RECT* exclude) {
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  int x = at.x, y = at.y;
  if (flags & TPM_CENTERALIGN) x -= size.cx / 2;
  else if (flags & TPM_RIGHTALIGN) x -= size.cx;
  if (flags & TPM_BOTTOMALIGN) y -= size.cy;
  else if (flags & TPM_VCENTERALIGN) y -= size.cy / 2;
  if (exclude != nullptr) {
    bool overlaps = y < exclude->bottom && y + size.cy > exclude->top;
    if (overlaps || y < 0 || y + size.cy > sh) {
      if (exclude->top - size.cy >= 0) y = exclude->top - size.cy;
      else if (exclude->bottom + size.cy <= sh) y = exclude->bottom;
    }
  }
  x = std::max(0, std::min(x, sw - static_cast<int>(size.cx)));
  y = std::max(0, std::min(y, sh - static_cast<int>(size.cy)));
  return {x, y};
}

bool Selectable(const Item& item) { return !item.separator; }

// Opens a level for the menu; false when the menu is gone or empty.
bool Open(Tracking& t, HMENU handle, HWND owner, POINT at, UINT flags, const RECT* exclude, int index,
          bool selectFirst) {
  if (owner != nullptr) SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), MAKELPARAM(index, 0));
  Menu* menu = FindMenu(handle);
  if (t.done || menu == nullptr || menu->items.empty()) return false;
  Level level;
  level.menu = handle;
  SIZE size = Measure(*menu, &level.rows);
  POINT corner = Place(at, size, flags, exclude);
  level.window = CreateWindowExW(WS_EX_TOPMOST, kPopupClass, u"", WS_POPUP, corner.x, corner.y, size.cx,
                                 size.cy, owner, nullptr, nullptr, nullptr);
  if (level.window == nullptr) return false;
  if (selectFirst) {
    for (size_t i = 0; i < menu->items.size(); ++i)
      if (Selectable(menu->items[i])) {
        level.selected = static_cast<int>(i);
        break;
      }
  }
  t.levels.push_back(level);
  ShowWindow(level.window, SW_SHOWNA);
  UpdateWindow(level.window);
  return true;
}

void CloseInnermost(Tracking& t) {
  HWND window = t.levels.back().window;
  t.levels.pop_back();
  DestroyWindow(window);
}

void CloseAbove(Tracking& t, size_t keep) {
  while (t.levels.size() > keep) CloseInnermost(t);
}

// Opens the selected item's pop-up next to it.
void OpenCascade(Tracking& t, bool selectFirst) {
  Level& level = t.levels.back();
  Menu* menu = FindMenu(level.menu);
  if (menu == nullptr || level.selected < 0) return;
  const Item& item = menu->items[level.selected];
  if (item.popup == nullptr || item.grayed) return;
  RECT box = ClientOnScreen(level.window);
  RECT row = level.rows[level.selected];
  POINT at{box.left + row.right - 2, box.top + row.top - 1};
  if (at.x + 40 > GetSystemMetrics(SM_CXSCREEN)) at.x = box.left;
  Open(t, item.popup, t.owner, at, TPM_LEFTALIGN, nullptr, level.selected, selectFirst);
}

void Choose(Tracking& t, size_t depth) {
  Level& level = t.levels[depth];
  Menu* menu = FindMenu(level.menu);
  if (menu == nullptr || level.selected < 0 || static_cast<size_t>(level.selected) >= menu->items.size()) return;
  const Item& item = menu->items[level.selected];
  if (item.separator || item.grayed) return;
  if (item.popup != nullptr) {
    CloseAbove(t, depth + 1);
    OpenCascade(t, false);
    return;
  }
  End(t, TrackEnd::Chosen, item.id);
}

// The level and item under a screen point; level -1 when outside them all.
std::pair<int, int> HitTest(const Tracking& t, POINT p) {
  for (int d = static_cast<int>(t.levels.size()) - 1; d >= 0; --d) {
    const Level& level = t.levels[d];
    RECT box = ClientOnScreen(level.window);
    if (!Inside(box, p)) continue;
    POINT local{p.x - box.left, p.y - box.top};
    for (size_t i = 0; i < level.rows.size(); ++i)
      if (Inside(level.rows[i], local)) return {d, static_cast<int>(i)};
    return {d, -1};
  }
  return {-1, -1};
}

void Select(Tracking& t, size_t depth, int item) {
  Level& level = t.levels[depth];
  Menu* menu = FindMenu(level.menu);
  if (menu != nullptr && item >= 0 && static_cast<size_t>(item) < menu->items.size() &&
      !Selectable(menu->items[item]))
    item = -1;
  if (level.selected == item) return;
  level.selected = item;
  Redraw(level);
}

void OnPointer(Tracking& t, const MSG& msg) {
  POINT p = MessagePoint(msg);
  auto [depth, item] = HitTest(t, p);
  if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) {
    if (depth < 0) return End(t, TrackEnd::TapOutside, 0, p);
    t.armed = true;
    CloseAbove(t, depth + 1);
    Select(t, depth, item);
    Menu* menu = FindMenu(t.levels[depth].menu);
    if (menu != nullptr && item >= 0 && menu->items[item].popup != nullptr) OpenCascade(t, false);
    return;
  }
  if (msg.message == WM_MOUSEMOVE) {
    t.armed = true;
    if (!(msg.wParam & MK_LBUTTON)) return;
    if (depth < 0) return Select(t, t.levels.size() - 1, -1);
    if (static_cast<size_t>(depth) + 1 < t.levels.size() && t.levels[depth].selected == item) return;
    CloseAbove(t, depth + 1);
    Select(t, depth, item);
    return;
  }
  if (msg.message == WM_LBUTTONUP && t.armed && depth >= 0 && item >= 0) {
    Menu* menu = FindMenu(t.levels[depth].menu);
    if (menu != nullptr && menu->items[item].popup == nullptr) Choose(t, depth);
  }
}

void Step(Tracking& t, int direction) {
  Level& level = t.levels.back();
  Menu* menu = FindMenu(level.menu);
  if (menu == nullptr || menu->items.empty()) return;
  int n = static_cast<int>(menu->items.size());
  int at = level.selected;
  for (int tries = 0; tries < n; ++tries) {
    at = at < 0 ? (direction > 0 ? 0 : n - 1) : (at + direction + n) % n;
    if (Selectable(menu->items[at])) return Select(t, t.levels.size() - 1, at);
  }
}

void OnMnemonic(Tracking& t, char16_t key) {
  Level& level = t.levels.back();
  Menu* menu = FindMenu(level.menu);
  if (menu == nullptr) return;
  int match = -1, matches = 0;
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const Item& item = menu->items[i];
    if (item.separator || Mnemonic(item.text) != key) continue;
    if (matches++ == 0) match = static_cast<int>(i);
  }
  if (matches == 0) return;
  Select(t, t.levels.size() - 1, match);
  if (matches == 1) Choose(t, t.levels.size() - 1);
}

void OnKey(Tracking& t, const MSG& msg) {
  UINT key = static_cast<UINT>(msg.wParam);
  if (msg.message == WM_SYSKEYDOWN) {
    if (key == VK_MENU || key == kKeyF10) {
      ForgetAltAlone();  // its coming up must not open the bar again
      End(t, TrackEnd::Cancelled);
    }
    return;
  }
  if (msg.message != WM_KEYDOWN) return;
  Level& inner = t.levels.back();
  Menu* menu = FindMenu(inner.menu);
  bool onPopupItem = menu != nullptr && inner.selected >= 0 && menu->items[inner.selected].popup != nullptr;
  switch (key) {
    case VK_UP: return Step(t, -1);
    case VK_DOWN: return Step(t, +1);
    case VK_RETURN:
    case VK_SPACE:
      if (onPopupItem) return OpenCascade(t, true);
      return Choose(t, t.levels.size() - 1);
    case VK_ESCAPE:
      if (t.levels.size() > 1) return CloseInnermost(t);
      return End(t, TrackEnd::Cancelled);
    case VK_LEFT:
      if (t.levels.size() > 1) return CloseInnermost(t);
      if (t.fromBar) End(t, TrackEnd::Left);
      return;
    case VK_RIGHT:
      if (onPopupItem) return OpenCascade(t, true);
      if (t.fromBar) End(t, TrackEnd::Right);
      return;
    default:
      if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) OnMnemonic(t, static_cast<char16_t>(key));
  }
}

bool IsPointer(UINT m) { return m >= WM_MOUSEMOVE && m <= WM_LBUTTONDBLCLK; }
bool IsKey(UINT m) { return m >= WM_KEYDOWN && m <= WM_SYSCHAR; }

}  // namespace

TrackOutcome TrackMenu(const TrackRequest& request) {
  if (g_tracking != nullptr) return {};
  Tracking t;
  t.fromBar = request.fromBar;
  t.owner = request.owner;
  g_tracking = &t;
  if (!Open(t, request.menu, request.owner, request.at, request.flags, request.exclude, request.index,
            request.keyboard)) {
    CloseAbove(t, 0);
    g_tracking = nullptr;
    return {};
  }
  HWND root = t.levels.front().window;
  EnterModalLoop(root);
  SetCapture(root);
  while (!t.done) {
    MSG msg{};
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      End(t, TrackEnd::Cancelled);
      break;
    }
    if (IsPointer(msg.message)) OnPointer(t, msg);
    else if (IsKey(msg.message)) OnKey(t, msg);
    else DispatchMessageW(&msg);
    if (!t.done && (t.levels.empty() || !IsWindow(root) || FindMenu(t.levels.front().menu) == nullptr))
      End(t, TrackEnd::Cancelled);
  }
  if (GetCapture() == root) ReleaseCapture();
  LeaveModalLoop(root);
  CloseAbove(t, 0);
  g_tracking = nullptr;
  return t.outcome;
}

LRESULT PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintWindow(window, [window](HDC dc) {
        if (Level* level = LevelOf(window)) PaintLevel(dc, *level);
      });
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDCANCEL) return 0;
      [[fallthrough]];
    case WM_CANCELMODE:
    case WM_CLOSE:
      if (g_tracking != nullptr && LevelOf(window) != nullptr) End(*g_tracking, TrackEnd::Cancelled);
      return 0;
    case WM_CAPTURECHANGED:
      if (g_tracking != nullptr && !g_tracking->levels.empty() && g_tracking->levels.front().window == window &&
          reinterpret_cast<HWND>(lParam) != window)
        End(*g_tracking, TrackEnd::Cancelled);
      return 0;
    case WM_DESTROY:
      if (g_tracking != nullptr && LevelOf(window) != nullptr) {
        End(*g_tracking, TrackEnd::Cancelled);
        for (Level& level : g_tracking->levels)
          if (level.window == window) level.window = nullptr;
      }
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace menus

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params) {
  if (menus::FindMenu(menu) == nullptr) return FALSE;
  if (owner != nullptr && !IsWindow(owner)) return FALSE;
  menus::TrackRequest request;
  request.menu = menu;
  request.owner = owner;
  request.at = {x, y};
  request.flags = flags;
  if (params != nullptr && params->cbSize >= sizeof *params) request.exclude = &params->rcExclude;
  menus::TrackOutcome outcome = menus::TrackMenu(request);
  UINT command = outcome.end == menus::TrackEnd::Chosen ? outcome.command : 0;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(command);
  if (command != 0 && !(flags & TPM_NONOTIFY) && owner != nullptr)
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return outcome.end == menus::TrackEnd::Chosen;
}
