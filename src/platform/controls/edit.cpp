// EDIT: single-line editing with caret, selection, undo and a limit; a
// multi-line display that wraps at spaces and scrolls by lines.
#include <algorithm>
#include <vector>

#include "platform/clipboard.h"
#include "platform/controls/internal.h"
#include "platform/memory.h"

namespace controls {
namespace {

constexpr int kMarginX = 2;
constexpr int kMarginY = 1;
constexpr int kDefaultLimit = 30000;
constexpr int kMaxLimit = 0x7FFFFFFE;

struct Line {
  int start = 0;
  int end = 0;  // drawn part, without the break
  int next = 0;
};

struct Edit : Base {
  std::u16string text;
  int anchor = 0;
  int caret = 0;
  int limit = kDefaultLimit;
  HFONT font = nullptr;
  bool focus = false;
  bool modified = false;
  bool selecting = false;
  int scrollX = 0;
  int firstLine = 0;
  bool canUndo = false;
  bool typing = false;  // typed characters since the last snapshot join it
  std::u16string undoText;
  int undoAnchor = 0, undoCaret = 0;
  // Layout, remade after every change.
  std::vector<int> pos;  // pos[i]: pixels from the text's start to boundary i
  std::vector<Line> lines;
  int lineHeight = 1;
};

StateTable<Edit>& Edits() {
  static auto* table = new StateTable<Edit>;
  return *table;
}

void CopyToClipboard(HWND window, const std::u16string& text) {
  if (!OpenClipboard(window)) return;
  EmptyClipboard();
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
  if (block != nullptr) {
    auto* units = static_cast<WCHAR*>(block);
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = 0;
    if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) LocalFree(block);
  }
  CloseClipboard();
}

std::u16string FromClipboard(HWND window) {
  std::u16string text;
  if (!OpenClipboard(window)) return text;
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (block != nullptr) {
    const auto* units = static_cast<const WCHAR*>(block);
    size_t most = LocalSize(block) / sizeof(WCHAR);
    size_t n = 0;
    while (n < most && units[n] != 0) ++n;
    text.assign(units, n);
  }
  CloseClipboard();
  return text;
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }
bool Multi(HWND window) { return (Style(window) & ES_MULTILINE) != 0; }
bool ReadOnly(HWND window) { return (Style(window) & ES_READONLY) != 0; }
int SelStart(const Edit& e) { return std::min(e.anchor, e.caret); }
int SelEnd(const Edit& e) { return std::max(e.anchor, e.caret); }

RECT TextBox(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  r.left += kMarginX;
  r.right = std::max(r.left, r.right - kMarginX);
  r.top += kMarginY;
  r.bottom = std::max(r.top, r.bottom - kMarginY);
  return r;
}

// Measures in a memory context with the edit's font.
class Measure {
 public:
  explicit Measure(HFONT font) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ != nullptr) old_ = SelectObject(dc_, UsableFont(font));
  }
  ~Measure() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

void Layout(HWND window, Edit& e) {
  Measure m(e.font);
  int n = static_cast<int>(e.text.size());
  e.pos.assign(static_cast<size_t>(n) + 1, 0);
  TEXTMETRICW tm{};
  if (m.dc() != nullptr) {
    GetTextMetricsW(m.dc(), &tm);
    if (n > 0) GetTextExtentExPointW(m.dc(), e.text.data(), n, 0, nullptr, e.pos.data() + 1, nullptr);
  }
  e.lineHeight = std::max<LONG>(1, tm.tmHeight);
  e.lines.clear();
  if (!Multi(window)) {
    e.lines.push_back({0, n, n});
    return;
  }
  RECT box = TextBox(window);
  int width = std::max<LONG>(1, box.right - box.left);
  int i = 0;
  while (true) {
    Line line{i, i, i};
    int lastSpace = -1;
    int j = i;
    bool hardBreak = false;
    while (j < n && !IsBreak(e.text[j])) {
      if (e.text[j] == u' ') lastSpace = j;
      else if (e.pos[j + 1] - e.pos[i] > width && j > i) break;
      ++j;
    }
    if (j >= n || IsBreak(e.text[j])) {
      line.end = j;
      hardBreak = j < n;
      if (hardBreak) j += (e.text[j] == u'\r' && j + 1 < n && e.text[j + 1] == u'\n') ? 2 : 1;
      line.next = j;
    } else if (lastSpace >= i) {
      line.end = lastSpace;
      line.next = lastSpace + 1;
      while (line.next < n && e.text[line.next] == u' ') ++line.next;
    } else {
      line.end = line.next = j;
    }
    e.lines.push_back(line);
    if (line.next >= n) {
      if (hardBreak) e.lines.push_back({n, n, n});
      break;
    }
    i = line.next;
  }
}

int LineOf(const Edit& e, int index) {
  for (size_t k = 0; k + 1 < e.lines.size(); ++k)
    if (index < e.lines[k + 1].start) return static_cast<int>(k);
  return static_cast<int>(e.lines.size()) - 1;
}

int LineWidth(const Edit& e, const Line& l) {
  int end = l.end;
  while (end > l.start && e.text[end - 1] == u' ') --end;
  return e.pos[end] - e.pos[l.start];
}

// The client x of a line's first character.
int LineLeft(HWND window, const Edit& e, const Line& l) {
  RECT box = TextBox(window);
  int width = box.right - box.left;
  int w = LineWidth(e, l);
  if (!Multi(window) && e.pos.back() > width) return box.left - e.scrollX;
  LONG align = Style(window) & (ES_CENTER | ES_RIGHT);
  if (align == ES_RIGHT) return box.right - w;
  if (align == ES_CENTER) return box.left + (width - w) / 2;
  return box.left;
}

int VisibleLines(HWND window, const Edit& e) {
  RECT box = TextBox(window);
  return std::max<int>(1, (box.bottom - box.top) / e.lineHeight);
}

void UpdateScrollBar(HWND window, const Edit& e) {
  if (!Multi(window) || !(Style(window) & WS_VSCROLL)) return;
  int count = static_cast<int>(e.lines.size());
  int page = VisibleLines(window, e);
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  if (count > page) {
    info.nMax = count - 1;
    info.nPage = static_cast<UINT>(page);
    info.nPos = e.firstLine;
  }
  SetScrollInfo(window, SB_VERT, &info, TRUE);
}

void ShowCaret(HWND window, Edit& e) {
  if (Multi(window)) {
    int line = LineOf(e, e.caret);
    int shown = VisibleLines(window, e);
    if (line < e.firstLine) e.firstLine = line;
    else if (line >= e.firstLine + shown) e.firstLine = line - shown + 1;
    int most = std::max(0, static_cast<int>(e.lines.size()) - shown);
    e.firstLine = std::clamp(e.firstLine, 0, std::max(most, std::min(e.firstLine, line)));
    UpdateScrollBar(window, e);
    return;
  }
  RECT box = TextBox(window);
  int width = box.right - box.left;
  int total = e.pos.back();
  if (total <= width) {
    e.scrollX = 0;
    return;
  }
  int x = e.pos[e.caret];
  if (x - e.scrollX < 0) e.scrollX = x - width / 4;
  else if (x - e.scrollX > width - 1) e.scrollX = x - width + 1 + width / 4;
  e.scrollX = std::clamp(e.scrollX, 0, total - width + 1);
}

void Changed(HWND window, const std::shared_ptr<Edit>& e) {
  DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(e->text.c_str()));
  Layout(window, *e);
  ShowCaret(window, *e);
  e->modified = true;
  Notify(window, EN_UPDATE);
  if (e->dead) return;
  InvalidateRect(window, nullptr, TRUE);
  Notify(window, EN_CHANGE);
}

void Moved(HWND window, Edit& e) {
  e.typing = false;
  ShowCaret(window, e);
  InvalidateRect(window, nullptr, TRUE);
}

void Snapshot(Edit& e) {
  e.undoText = e.text;
  e.undoAnchor = e.anchor;
  e.undoCaret = e.caret;
  e.canUndo = true;
}

enum class Source { Typed, Other };

// Replaces the selection with what of `insert` fits the limit (and, without
// ES_AUTOHSCROLL, the single line's width).
void Replace(HWND window, const std::shared_ptr<Edit>& e, std::u16string insert, bool undoable,
             Source source) {
  if (!Multi(window))
    insert.erase(std::remove_if(insert.begin(), insert.end(), IsBreak), insert.end());
  int start = SelStart(*e), end = SelEnd(*e);
  int64_t room = int64_t{e->limit} - (static_cast<int64_t>(e->text.size()) - (end - start));
  bool cut = false;
  if (static_cast<int64_t>(insert.size()) > std::max<int64_t>(0, room)) {
    insert.resize(static_cast<size_t>(std::max<int64_t>(0, room)));
    cut = true;
  }
  if (!Multi(window) && !(Style(window) & ES_AUTOHSCROLL) && !insert.empty()) {
    RECT box = TextBox(window);
    int kept = e->pos[start] + (e->pos.back() - e->pos[end]);
    int fit = 0;
    Measure m(e->font);
    GetTextExtentExPointW(m.dc(), insert.data(), static_cast<int>(insert.size()),
                          std::max(0, static_cast<int>(box.right - box.left) - kept), &fit, nullptr, nullptr);
    if (fit < static_cast<int>(insert.size())) {
      insert.resize(static_cast<size_t>(std::max(0, fit)));
      cut = true;
    }
  }
  if (insert.empty() && start == end) {
    if (cut) Notify(window, EN_MAXTEXT);
    return;
  }
  if (!undoable) {
    e->canUndo = false;
    e->typing = false;
  } else if (source != Source::Typed || !e->typing) {
    Snapshot(*e);
    e->typing = source == Source::Typed;
  }
  e->text.replace(start, end - start, insert);
  e->anchor = e->caret = start + static_cast<int>(insert.size());
  Changed(window, e);
  if (cut && !e->dead) Notify(window, EN_MAXTEXT);
}

void Undo(HWND window, const std::shared_ptr<Edit>& e) {
  if (!e->canUndo) return;
  std::swap(e->text, e->undoText);
  std::swap(e->anchor, e->undoAnchor);
  std::swap(e->caret, e->undoCaret);
  e->typing = false;
  Changed(window, e);
}

int Clamp(const Edit& e, int64_t i) {
  return static_cast<int>(std::clamp<int64_t>(i, 0, static_cast<int64_t>(e.text.size())));
}

// The boundary nearest to a client point.
int HitTest(HWND window, const Edit& e, int x, int y) {
  int lineIndex = 0;
  if (Multi(window)) {
    RECT box = TextBox(window);
    int row = y < box.top ? -1 : (y - box.top) / e.lineHeight;
    lineIndex = std::clamp(e.firstLine + row, 0, static_cast<int>(e.lines.size()) - 1);
  }
  const Line& l = e.lines[lineIndex];
  int left = LineLeft(window, e, l);
  int best = l.start;
  for (int i = l.start; i <= l.end; ++i) {
    int bx = left + e.pos[i] - e.pos[l.start];
    int bestX = left + e.pos[best] - e.pos[l.start];
    if (std::abs(bx - x) < std::abs(bestX - x)) best = i;
  }
  return best;
}

void SetSelection(HWND window, Edit& e, int anchor, int caret) {
  e.anchor = Clamp(e, anchor);
  e.caret = Clamp(e, caret);
  Moved(window, e);
}

void MoveCaret(HWND window, Edit& e, int to, bool extend) {
  to = Clamp(e, to);
  SetSelection(window, e, extend ? e.anchor : to, to);
}

void SelectWord(HWND window, Edit& e, int at) {
  int n = static_cast<int>(e.text.size());
  auto inWord = [&](int i) { return i >= 0 && i < n && e.text[i] != u' ' && !IsBreak(e.text[i]); };
  int start = at, end = at;
  if (!inWord(at) && inWord(at - 1)) start = end = at - 1;
  while (inWord(start - 1)) --start;
  while (inWord(end)) ++end;
  SetSelection(window, e, start, end);
}

void KeyDown(HWND window, const std::shared_ptr<Edit>& e, WPARAM key) {
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool control = GetKeyState(VK_CONTROL) < 0;
  int line = LineOf(*e, e->caret);
  const Line& l = e->lines[line];
  bool selection = e->anchor != e->caret;
  switch (key) {
    case VK_LEFT:
      MoveCaret(window, *e, selection && !shift ? SelStart(*e) : e->caret - 1, shift);
      break;
    case VK_RIGHT:
      MoveCaret(window, *e, selection && !shift ? SelEnd(*e) : e->caret + 1, shift);
      break;
    case VK_HOME: MoveCaret(window, *e, control ? 0 : l.start, shift); break;
    case VK_END:
      MoveCaret(window, *e, control ? static_cast<int>(e->text.size()) : l.end, shift);
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (!Multi(window)) break;
      int step = key == VK_UP || key == VK_DOWN ? 1 : VisibleLines(window, *e);
      int target = std::clamp(line + (key == VK_UP || key == VK_PRIOR ? -step : step), 0,
                              static_cast<int>(e->lines.size()) - 1);
      if (target == line) break;
      int x = LineLeft(window, *e, l) + e->pos[e->caret] - e->pos[l.start];
      RECT box = TextBox(window);
      e->firstLine = std::clamp(e->firstLine + target - line, 0, target);
      int y = box.top + (target - e->firstLine) * e->lineHeight;
      MoveCaret(window, *e, HitTest(window, *e, x, y), shift);
      break;
    }
    case VK_DELETE:
      if (ReadOnly(window)) break;
      if (shift && selection) {
        CopyToClipboard(window, e->text.substr(SelStart(*e), SelEnd(*e) - SelStart(*e)));
      } else if (!selection) {
        if (e->caret >= static_cast<int>(e->text.size())) break;
        e->anchor = e->caret + 1;
      }
      Replace(window, e, u"", true, Source::Other);
      break;
    default:
      if (!control) break;
      if (key == 'C') SendMessageW(window, WM_COPY, 0, 0);
      else if (key == 'X') SendMessageW(window, WM_CUT, 0, 0);
      else if (key == 'V') SendMessageW(window, WM_PASTE, 0, 0);
      else if (key == 'Z') SendMessageW(window, WM_UNDO, 0, 0);
      break;
  }
}

void Char(HWND window, const std::shared_ptr<Edit>& e, WPARAM c) {
  if (ReadOnly(window)) return;
  if (c == VK_BACK) {
    if (e->anchor == e->caret) {
      if (e->caret == 0) return;
      e->anchor = e->caret - 1;
    }
    Replace(window, e, u"", true, Source::Other);
    return;
  }
  if (c < 0x20 || c == 0x7F || c > 0xFFFF) return;
  Replace(window, e, std::u16string(1, static_cast<char16_t>(c)), true, Source::Typed);
}

void PaintEdit(HWND window, const Edit& e) {
  Paint paint(window);
  HDC dc = paint.dc();
  RECT client{};
  GetClientRect(window, &client);
  FillColour(dc, client, kGround);
  Select font(dc, UsableFont(e.font));
  SetBkMode(dc, TRANSPARENT);
  bool enabled = IsWindowEnabled(window);
  bool showSelection = e.focus || (Style(window) & ES_NOHIDESEL);
  int selStart = SelStart(e), selEnd = SelEnd(e);
  RECT box = TextBox(window);
  int shown = Multi(window) ? VisibleLines(window, e) : 1;
  for (int k = 0; k < shown && e.firstLine + k < static_cast<int>(e.lines.size()); ++k) {
    const Line& l = e.lines[Multi(window) ? e.firstLine + k : 0];
    int left = LineLeft(window, e, l);
    int top = box.top + k * e.lineHeight;
    RECT clip{box.left, top, box.right, std::min<LONG>(box.bottom, top + e.lineHeight)};
    if (!Multi(window)) clip.bottom = box.bottom;
    auto x = [&](int i) { return left + e.pos[i] - e.pos[l.start]; };
    SetTextColor(dc, enabled ? kText : kGrayText);
    ExtTextOutW(dc, left, top, ETO_CLIPPED, &clip, e.text.data() + l.start,
                static_cast<UINT>(l.end - l.start), nullptr);
    int a = std::max(selStart, l.start), b = std::min(selEnd, l.end);
    if (showSelection && a < b) {
      RECT band{std::max<LONG>(clip.left, x(a)), top, std::min<LONG>(clip.right, x(b)),
                std::min<LONG>(clip.bottom, top + e.lineHeight)};
      FillColour(dc, band, kHighlight);
      SetTextColor(dc, kHighlightText);
      ExtTextOutW(dc, x(a), top, ETO_CLIPPED, &band, e.text.data() + a, static_cast<UINT>(b - a), nullptr);
    }
    bool caretHere = LineOf(e, e.caret) == (Multi(window) ? e.firstLine + k : 0);
    if (e.focus && caretHere) {
      int cx = std::clamp<int>(x(std::min(e.caret, l.end)) - 1, client.left,
                               std::max<LONG>(client.left, client.right - 1));
      FillColour(dc, {cx, top, cx + 1, std::min<LONG>(client.bottom, top + e.lineHeight)}, kText);
    }
  }
}

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    std::shared_ptr<Edit> e = Edits().Create(window);
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (create != nullptr && create->lpszName != nullptr && !IS_INTRESOURCE(create->lpszName))
      e->text = create->lpszName;
    Layout(window, *e);
    return 0;
  }
  std::shared_ptr<Edit> e = Edits().Find(window);
  if (e == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY: Edits().Erase(window); return 0;
    case WM_PAINT: PaintEdit(window, *e); return 0;
    case WM_SIZE:
      Layout(window, *e);
      ShowCaret(window, *e);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      e->font = reinterpret_cast<HFONT>(wParam);
      Layout(window, *e);
      ShowCaret(window, *e);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: {
      auto* text = reinterpret_cast<LPCWSTR>(lParam);
      e->text = text != nullptr ? text : u"";
      e->anchor = e->caret = 0;
      e->scrollX = e->firstLine = 0;
      e->canUndo = e->typing = false;
      Changed(window, e);
      if (!e->dead) e->modified = false;
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      if (out == nullptr || static_cast<intptr_t>(wParam) <= 0) return 0;
      size_t n = std::min(e->text.size(), static_cast<size_t>(wParam) - 1);
      std::copy_n(e->text.data(), n, out);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(e->text.size());
    case WM_SETFOCUS:
      e->focus = true;
      InvalidateRect(window, nullptr, TRUE);
      Notify(window, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      e->focus = false;
      e->selecting = false;
      InvalidateRect(window, nullptr, TRUE);
      Notify(window, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != window) SetFocus(window);
      if (e->dead) return 0;
      int at = HitTest(window, *e, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      SetSelection(window, *e, GetKeyState(VK_SHIFT) < 0 ? e->anchor : at, at);
      e->selecting = true;
      SetCapture(window);
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      SelectWord(window, *e, HitTest(window, *e, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_MOUSEMOVE:
      if (e->selecting)
        SetSelection(window, *e, e->anchor, HitTest(window, *e, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (e->selecting) {
        e->selecting = false;
        if (GetCapture() == window) ReleaseCapture();
      }
      return 0;
    case WM_KEYDOWN: KeyDown(window, e, wParam); return 0;
    case WM_CHAR: Char(window, e, wParam); return 0;
    case WM_VSCROLL: {
      if (!Multi(window)) return 0;
      int most = std::max(0, static_cast<int>(e->lines.size()) - VisibleLines(window, *e));
      int page = VisibleLines(window, *e);
      int line = e->firstLine;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --line; break;
        case SB_LINEDOWN: ++line; break;
        case SB_PAGEUP: line -= page; break;
        case SB_PAGEDOWN: line += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: line = static_cast<short>(HIWORD(wParam)); break;
        case SB_TOP: line = 0; break;
        case SB_BOTTOM: line = most; break;
        default: return 0;
      }
      e->firstLine = std::clamp(line, 0, most);
      UpdateScrollBar(window, *e);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    }
    case EM_GETSEL: {
      if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelStart(*e));
      if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelEnd(*e));
      return MAKELONG(SelStart(*e), SelEnd(*e));
    }
    case EM_SETSEL: {
      auto start = static_cast<int64_t>(static_cast<intptr_t>(wParam));
      auto end = static_cast<int64_t>(lParam);
      if (start == -1) {
        SetSelection(window, *e, e->caret, e->caret);
        return 0;
      }
      if (end < 0) end = static_cast<int64_t>(e->text.size());
      SetSelection(window, *e, Clamp(*e, start), Clamp(*e, end));
      return 0;
    }
    case EM_REPLACESEL: {
      auto* text = reinterpret_cast<LPCWSTR>(lParam);
      Replace(window, e, text != nullptr ? text : u"", wParam != 0, Source::Other);
      return 0;
    }
    case EM_LIMITTEXT: {
      auto n = static_cast<int64_t>(static_cast<intptr_t>(wParam));
      e->limit = n <= 0 || n > kMaxLimit ? kMaxLimit : static_cast<int>(n);
      return 0;
    }
    case EM_GETLIMITTEXT: return e->limit;
    case EM_CANUNDO: return e->canUndo;
    case EM_UNDO:
    case WM_UNDO: Undo(window, e); return e->canUndo;
    case EM_EMPTYUNDOBUFFER: e->canUndo = e->typing = false; return 0;
    case EM_GETMODIFY: return e->modified;
    case EM_SETMODIFY: e->modified = wParam != 0; return 0;
    case EM_GETLINECOUNT: return static_cast<LRESULT>(e->lines.size());
    case EM_GETFIRSTVISIBLELINE: return Multi(window) ? e->firstLine : 0;
    case EM_SCROLLCARET: Moved(window, *e); return TRUE;
    case EM_SETREADONLY: {
      LONG style = Style(window);
      SetWindowLongW(window, GWL_STYLE, wParam ? style | ES_READONLY : style & ~ES_READONLY);
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case WM_COPY:
    case WM_CUT:
      if (e->anchor == e->caret) return 0;
      CopyToClipboard(window, e->text.substr(SelStart(*e), SelEnd(*e) - SelStart(*e)));
      if (message == WM_CUT && !ReadOnly(window)) Replace(window, e, u"", true, Source::Other);
      return 0;
    case WM_CLEAR:
      if (e->anchor != e->caret && !ReadOnly(window)) Replace(window, e, u"", true, Source::Other);
      return 0;
    case WM_PASTE:
      if (!ReadOnly(window)) Replace(window, e, FromClipboard(window), true, Source::Other);
      return 0;
    default: return CommonMessage(window, message, wParam, lParam, &e->font);
  }
}

}  // namespace controls
