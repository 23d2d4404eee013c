// LISTBOX: one selection, optionally sorted; notifies its parent of the
// user's choices only, never of the program's.
#include <algorithm>
#include <new>
#include <vector>

#include "platform/controls/internal.h"

namespace controls {
namespace {

struct ListBox : Base {
  std::vector<std::u16string> items;
  std::vector<uintptr_t> data;
  int selected = -1;
  int top = 0;
  HFONT font = nullptr;
  bool focus = false;
  bool tracking = false;
};

StateTable<ListBox>& ListBoxes() {
  static auto* table = new StateTable<ListBox>;
  return *table;
}

char16_t Fold(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
    return static_cast<char16_t>(c + 0x20);
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
  return c;
}

int CompareNoCase(const std::u16string& a, const std::u16string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool StartsWithNoCase(const std::u16string& item, const std::u16string& prefix) {
  if (prefix.size() > item.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Fold(item[i]) != Fold(prefix[i])) return false;
  return true;
}

int Count(const ListBox& l) { return static_cast<int>(l.items.size()); }

int ItemHeight(const ListBox& l) {
  HDC dc = CreateCompatibleDC(nullptr);
  TEXTMETRICW tm{};
  if (dc != nullptr) {
    Select font(dc, UsableFont(l.font));
    GetTextMetricsW(dc, &tm);
  }
  DeleteDC(dc);
  return std::max<LONG>(1, tm.tmHeight + 2);
}

int Visible(HWND window, const ListBox& l) {
  RECT client{};
  GetClientRect(window, &client);
  return std::max<int>(1, (client.bottom - client.top) / ItemHeight(l));
}

void UpdateBar(HWND window, ListBox& l) {
  int visible = Visible(window, l);
  l.top = std::clamp(l.top, 0, std::max(0, Count(l) - visible));
  if (!(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL)) return;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  if (Count(l) > visible) {
    info.nMax = Count(l) - 1;
    info.nPage = static_cast<UINT>(visible);
    info.nPos = l.top;
  }
  SetScrollInfo(window, SB_VERT, &info, TRUE);
}

void Refresh(HWND window, ListBox& l) {
  UpdateBar(window, l);
  InvalidateRect(window, nullptr, TRUE);
}

void Reveal(HWND window, ListBox& l, int index) {
  if (index < 0) return;
  int visible = Visible(window, l);
  if (index < l.top) l.top = index;
  else if (index >= l.top + visible) l.top = index - visible + 1;
}

// The program's selection: no notification.
void Choose(HWND window, ListBox& l, int index) {
  l.selected = index;
  Reveal(window, l, index);
  Refresh(window, l);
}

// The user's selection: LBN_SELCHANGE when it changed.
void UserChoose(HWND window, const std::shared_ptr<ListBox>& l, int index) {
  if (Count(*l) == 0) return;
  index = std::clamp(index, 0, Count(*l) - 1);
  bool changed = index != l->selected;
  Choose(window, *l, index);
  if (changed && (GetWindowLongW(window, GWL_STYLE) & LBS_NOTIFY)) Notify(window, LBN_SELCHANGE);
}

int Find(const ListBox& l, intptr_t after, const std::u16string& text, bool exact) {
  int n = Count(l);
  if (n == 0) return LB_ERR;
  int start = after < 0 || after >= n ? 0 : static_cast<int>(after) + 1;
  for (int k = 0; k < n; ++k) {
    int i = (start + k) % n;
    if (exact ? CompareNoCase(l.items[i], text) == 0 : StartsWithNoCase(l.items[i], text)) return i;
  }
  return LB_ERR;
}

int Insert(HWND window, ListBox& l, intptr_t at, LPCWSTR text) {
  std::u16string item = text != nullptr ? text : u"";
  int index;
  if (at == -2) {
    auto it = std::upper_bound(l.items.begin(), l.items.end(), item,
                               [](const std::u16string& a, const std::u16string& b) {
                                 return CompareNoCase(a, b) < 0;
                               });
    index = static_cast<int>(it - l.items.begin());
  } else if (at == -1) {
    index = Count(l);
  } else if (at < 0 || at > Count(l)) {
    return LB_ERR;
  } else {
    index = static_cast<int>(at);
  }
  try {
    l.items.insert(l.items.begin() + index, std::move(item));
    l.data.insert(l.data.begin() + index, 0);
  } catch (const std::bad_alloc&) {
    if (l.data.size() < l.items.size()) l.items.erase(l.items.begin() + index);
    return LB_ERRSPACE;
  }
  if (l.selected >= index) ++l.selected;
  Refresh(window, l);
  return index;
}

void PaintList(HWND window, const ListBox& l) {
  Paint paint(window);
  HDC dc = paint.dc();
  RECT client{};
  GetClientRect(window, &client);
  FillColour(dc, client, kGround);
  Select font(dc, UsableFont(l.font));
  SetBkMode(dc, TRANSPARENT);
  int height = ItemHeight(l);
  bool enabled = IsWindowEnabled(window);
  for (int i = l.top, y = client.top; i < Count(l) && y < client.bottom; ++i, y += height) {
    RECT row{client.left, y, client.right, y + height};
    bool selected = i == l.selected;
    if (selected) FillColour(dc, row, kHighlight);
    SetTextColor(dc, selected ? kHighlightText : enabled ? kText : kGrayText);
    RECT text{row.left + 2, row.top, row.right - 1, row.bottom};
    DrawTextW(dc, l.items[i].c_str(), static_cast<int>(l.items[i].size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (selected && l.focus) Frame(dc, row, kText);
  }
}

int IndexAt(const ListBox& l, LPARAM lParam) {
  int y = GET_Y_LPARAM(lParam);
  if (y < 0) return l.top - 1;
  return l.top + y / ItemHeight(l);
}

}  // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    ListBoxes().Create(window);
    return 0;
  }
  std::shared_ptr<ListBox> l = ListBoxes().Find(window);
  if (l == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  auto index = static_cast<intptr_t>(wParam);
  bool valid = index >= 0 && index < Count(*l);
  switch (message) {
    case WM_DESTROY: ListBoxes().Erase(window); return 0;
    case WM_PAINT: PaintList(window, *l); return 0;
    case WM_SIZE: Refresh(window, *l); return 0;
    case WM_SETFONT:
      l->font = reinterpret_cast<HFONT>(wParam);
      UpdateBar(window, *l);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case LB_ADDSTRING:
      return Insert(window, *l, (GetWindowLongW(window, GWL_STYLE) & LBS_SORT) ? -2 : -1,
                    reinterpret_cast<LPCWSTR>(lParam));
    case LB_INSERTSTRING: return Insert(window, *l, index, reinterpret_cast<LPCWSTR>(lParam));
    case LB_DELETESTRING:
      if (!valid) return LB_ERR;
      l->items.erase(l->items.begin() + index);
      l->data.erase(l->data.begin() + index);
      if (l->selected == index) l->selected = -1;
      else if (l->selected > index) --l->selected;
      Refresh(window, *l);
      return Count(*l);
    case LB_RESETCONTENT:
      l->items.clear();
      l->data.clear();
      l->selected = -1;
      l->top = 0;
      Refresh(window, *l);
      return 0;
    case LB_SETCURSEL:
      if (index == -1) {
        Choose(window, *l, -1);
        return LB_ERR;
      }
      if (!valid) return LB_ERR;
      Choose(window, *l, static_cast<int>(index));
      return index;
    case LB_GETCURSEL: return l->selected;
    case LB_GETTEXT: {
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      if (!valid || out == nullptr) return LB_ERR;
      const std::u16string& item = l->items[index];
      std::copy(item.begin(), item.end(), out);
      out[item.size()] = 0;
      return static_cast<LRESULT>(item.size());
    }
    case LB_GETTEXTLEN: return valid ? static_cast<LRESULT>(l->items[index].size()) : LB_ERR;
    case LB_GETCOUNT: return Count(*l);
    case LB_SELECTSTRING:
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      auto* text = reinterpret_cast<LPCWSTR>(lParam);
      if (text == nullptr) return LB_ERR;
      int found = Find(*l, index, text, message == LB_FINDSTRINGEXACT);
      if (found != LB_ERR && message == LB_SELECTSTRING) Choose(window, *l, found);
      return found;
    }
    case LB_GETTOPINDEX: return l->top;
    case LB_SETTOPINDEX:
      if (!valid && !(index == 0 && Count(*l) == 0)) return LB_ERR;
      l->top = static_cast<int>(index);
      Refresh(window, *l);
      return 0;
    case LB_GETITEMDATA: return valid ? static_cast<LRESULT>(l->data[index]) : LB_ERR;
    case LB_SETITEMDATA:
      if (!valid) return LB_ERR;
      l->data[index] = static_cast<uintptr_t>(lParam);
      return 0;
    case LB_GETITEMHEIGHT: return ItemHeight(*l);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      l->focus = message == WM_SETFOCUS;
      InvalidateRect(window, nullptr, TRUE);
      Notify(window, l->focus ? LBN_SETFOCUS : LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != window) SetFocus(window);
      if (l->dead) return 0;
      int at = IndexAt(*l, lParam);
      if (at < 0 || at >= Count(*l)) return 0;
      l->tracking = true;
      SetCapture(window);
      UserChoose(window, l, at);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (l->tracking) UserChoose(window, l, IndexAt(*l, lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (l->tracking) {
        l->tracking = false;
        if (GetCapture() == window) ReleaseCapture();
      }
      return 0;
    case WM_LBUTTONDBLCLK: {
      int at = IndexAt(*l, lParam);
      if (at < 0 || at >= Count(*l)) return 0;
      UserChoose(window, l, at);
      if (!l->dead && (GetWindowLongW(window, GWL_STYLE) & LBS_NOTIFY)) Notify(window, LBN_DBLCLK);
      return 0;
    }
    case WM_KEYDOWN: {
      int page = std::max(1, Visible(window, *l) - 1);
      int from = l->selected < 0 ? -1 : l->selected;
      switch (wParam) {
        case VK_UP: UserChoose(window, l, from < 0 ? 0 : from - 1); break;
        case VK_DOWN: UserChoose(window, l, from + 1); break;
        case VK_PRIOR: UserChoose(window, l, from - page); break;
        case VK_NEXT: UserChoose(window, l, from < 0 ? page : from + page); break;
        case VK_HOME: UserChoose(window, l, 0); break;
        case VK_END: UserChoose(window, l, Count(*l) - 1); break;
        default: break;
      }
      return 0;
    }
    case WM_CHAR: {
      if (wParam < 0x20 || wParam > 0xFFFF) return 0;
      int found = Find(*l, l->selected, std::u16string(1, static_cast<char16_t>(wParam)), false);
      if (found != LB_ERR) UserChoose(window, l, found);
      return 0;
    }
    case WM_VSCROLL: {
      int visible = Visible(window, *l);
      int top = l->top;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= visible; break;
        case SB_PAGEDOWN: top += visible; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = static_cast<short>(HIWORD(wParam)); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = Count(*l); break;
        default: return 0;
      }
      l->top = top;
      Refresh(window, *l);
      return 0;
    }
    default: return CommonMessage(window, message, wParam, lParam, &l->font);
  }
}

}  // namespace controls
