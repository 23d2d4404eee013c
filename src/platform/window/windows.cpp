// Classes and windows: creation and destruction, the tree and its z-order,
// geometry, visibility, activation, focus and capture, window longs and text.
#include <algorithm>
#include <cstring>

#include "platform/backend/backend.h"
#include "platform/screen.h"
#include "platform/window/core.h"
#include "platform/window/remote.h"
#include "platform/window/shared.h"
#include "platform/window/testing.h"

namespace win {
namespace {

// A coordinate travels in 16 bits of an lParam; larger ones are cut to fit.
constexpr LONG kMaxCoordinate = 32767;
constexpr int kMaxSendDepth = 400;
constexpr int kMaxWindowExtra = 4096;

LONG ClampPosition(int v) { return std::clamp<LONG>(v, -kMaxCoordinate - 1, kMaxCoordinate); }
LONG ClampSize(int v) { return std::clamp<LONG>(v, 0, kMaxCoordinate); }

bool SameName(const std::u16string& a, LPCWSTR b) {
  size_t n = 0;
  for (; b[n] != 0; ++n) {
    if (n >= a.size()) return false;
    char16_t x = a[n], y = b[n];
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
    if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
    if (x != y) return false;
  }
  return n == a.size();
}

int Border(const Window& w) {
  int b = (w.style & (WS_BORDER | WS_DLGFRAME)) != 0 ? 1 : 0;
  if (w.exStyle & WS_EX_CLIENTEDGE) b += 2;
  return b;
}

bool HasCaption(const Window& w) { return (w.style & WS_CAPTION) == WS_CAPTION; }

std::vector<HWND>& SiblingsOf(const Window& w) {
  if (w.parent != nullptr) {
    if (Window* p = Find(w.parent)) return p->children;
  }
  return TheCore().topLevels;
}

bool Topmost(HWND h) {
  Window* w = Find(h);
  return w != nullptr && w->parent == nullptr && (w->exStyle & WS_EX_TOPMOST) != 0;
}

// Where a window goes when it is brought to the front of its siblings:
// top-level windows stay below the topmost ones unless they are topmost too.
size_t FrontIndex(const std::vector<HWND>& list, const Window& w) {
  if (w.parent != nullptr || (w.exStyle & WS_EX_TOPMOST)) return 0;
  size_t i = 0;
  while (i < list.size() && Topmost(list[i])) ++i;
  return i;
}

bool MoveInList(std::vector<HWND>& list, HWND h, size_t index) {
  auto it = std::find(list.begin(), list.end(), h);
  if (it == list.end()) return false;
  size_t from = static_cast<size_t>(it - list.begin());
  list.erase(it);
  index = std::min(index, list.size());
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), h);
  return from != index;
}

// Brings a top-level window and, above it, the windows it owns to the front.
void Raise(HWND h) {
  Window* w = Find(h);
  if (w == nullptr || w->parent != nullptr) return;
  std::vector<HWND>& list = TheCore().topLevels;
  if (MoveInList(list, h, FrontIndex(list, *w))) InvalidateAll(*w, true);
  std::vector<HWND> owned;
  for (HWND other : list) {
    Window* o = Find(other);
    if (o != nullptr && o->owner == h) owned.push_back(other);
  }
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) Raise(*it);
}

// Changes the z-order as SetWindowPos's insertAfter asks; true when it moved.
bool Restack(Window& w, HWND after) {
  std::vector<HWND>& list = SiblingsOf(w);
  intptr_t code = reinterpret_cast<intptr_t>(after);
  if (code == -1 && w.parent == nullptr) w.exStyle |= WS_EX_TOPMOST;
  if (code == -2 && w.parent == nullptr) w.exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
  if (code == 0 || code == -1 || code == -2) return MoveInList(list, w.handle, FrontIndex(list, w));
  if (code == 1) return MoveInList(list, w.handle, list.size());
  if (after == w.handle) return false;
  auto it = std::find(list.begin(), list.end(), after);
  if (it == list.end()) return false;
  size_t index = static_cast<size_t>(it - list.begin());
  auto self = std::find(list.begin(), list.end(), w.handle);
  if (self != list.end() && self < it) --index;
  return MoveInList(list, w.handle, index + 1);
}

void DropCaptureWithin(HWND h) {
  Core& c = TheCore();
  if (c.capture != nullptr && IsWithin(c.capture, h)) ReleaseCapture();
}

// What a window that stops showing takes with it: the capture, the focus,
// and for a top-level window the activation.
void Leave(HWND h) {
  Core& c = TheCore();
  DropCaptureWithin(h);
  Window* w = Find(h);
  if (w == nullptr) return;
  if (w->parent == nullptr && c.active == h) ActivateNext(h);
  if (c.focus != nullptr && IsWithin(c.focus, h)) FocusWindow(nullptr);
}

LPARAM PackPoint(LONG x, LONG y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

std::vector<WNDPROC>& Procs() {
  static std::vector<WNDPROC> procs;
  return procs;
}

// The window's own bytes (cbWndExtra), read and written whole or not at all.
template <class T>
T ReadExtra(const Window& w, int index) {
  T value = 0;
  if (index >= 0 && static_cast<size_t>(index) + sizeof value <= w.extra.size())
    std::memcpy(&value, w.extra.data() + index, sizeof value);
  return value;
}

template <class T>
bool WriteExtra(Window& w, int index, T value) {
  if (index < 0 || static_cast<size_t>(index) + sizeof value > w.extra.size()) return false;
  std::memcpy(w.extra.data() + index, &value, sizeof value);
  return true;
}

MessageSpy& Spy() {
  static MessageSpy spy;
  return spy;
}

const RemoteWindows*& Remote() {
  static const RemoteWindows* remote = nullptr;
  return remote;
}

}  // namespace

Core& TheCore() {
  static Core* core = new Core;
  return *core;
}

void EnsureStarted() {
  Core& c = TheCore();
  if (c.started) return;
  c.started = true;
  SetWindowAreaProc(WindowArea);
  size_t before = c.classes.size();
  RegisterControlClasses();
  RegisterMenuClasses();
  RegisterTaskbarClass();
  for (size_t i = before; i < c.classes.size(); ++i) c.classes[i]->instance = nullptr;
  CreateTaskbar();
}

HWND FindTopLevel(LPCWSTR className, LPCWSTR title, bool withSystem) {
  std::shared_ptr<WindowClass> cls;
  if (className != nullptr && (cls = LookUpClass(className)) == nullptr) return nullptr;
  for (HWND h : TheCore().topLevels) {
    Window* w = Find(h);
    if (w == nullptr || w->destroying || (w->system && !withSystem)) continue;
    if (cls != nullptr && w->cls != cls) continue;
    if (title != nullptr && w->text != title) continue;
    return h;
  }
  return nullptr;
}

void DeliverRemoteMessages() {
  const RemoteWindows* remote = Remote();
  if (remote != nullptr && remote->deliver != nullptr) remote->deliver();
}

Window* Find(HWND h) {
  if (h == nullptr) return nullptr;
  Core& c = TheCore();
  auto it = c.windows.find(NumberOf(h));
  return it == c.windows.end() ? nullptr : it->second.get();
}

std::shared_ptr<WindowClass> LookUpClass(LPCWSTR name) {
  if (name == nullptr) return nullptr;
  for (const auto& cls : TheCore().classes) {
    if (IS_INTRESOURCE(name) ? cls->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                             : SameName(cls->name, name))
      return cls;
  }
  return nullptr;
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return Empty(r) ? RECT{} : r;
}

RECT Union(const RECT& a, const RECT& b) {
  if (Empty(a)) return b;
  if (Empty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

RECT Offset(RECT r, LONG dx, LONG dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool Contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT ClientInWindow(const Window& w) {
  LONG width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
  LONG b = Border(w);
  RECT c{b, b + (HasCaption(w) ? kCaptionHeight : 0), width - b - (w.barShown ? kScrollWidth : 0),
         height - b};
  c.left = std::clamp<LONG>(c.left, 0, width);
  c.right = std::clamp<LONG>(c.right, c.left, width);
  c.top = std::clamp<LONG>(c.top, 0, height);
  c.bottom = std::clamp<LONG>(c.bottom, c.top, height);
  return c;
}

RECT WindowOnScreen(const Window& w) {
  if (w.parent == nullptr) return w.rect;
  Window* p = Find(w.parent);
  if (p == nullptr) return w.rect;
  RECT pc = ClientOnScreen(*p);
  return Offset(w.rect, pc.left, pc.top);
}

RECT ClientOnScreen(const Window& w) {
  RECT win = WindowOnScreen(w);
  return Offset(ClientInWindow(w), win.left, win.top);
}

bool Shown(const Window& w) {
  const Window* at = &w;
  while (at != nullptr) {
    if (!(at->style & WS_VISIBLE)) return false;
    at = at->parent != nullptr ? Find(at->parent) : nullptr;
  }
  return true;
}

bool Enabled(const Window& w) { return !(w.style & WS_DISABLED); }

RECT VisiblePart(const Window& w, bool clientOnly) {
  if (!Shown(w)) return {};
  RECT r = clientOnly ? ClientOnScreen(w) : WindowOnScreen(w);
  for (Window* p = Find(w.parent); p != nullptr && !Empty(r); p = Find(p->parent))
    r = Intersect(r, ClientOnScreen(*p));
  return Empty(r) ? RECT{} : r;
}

Window* TopLevelOf(Window* w) {
  while (w != nullptr && w->parent != nullptr) {
    Window* p = Find(w->parent);
    if (p == nullptr) break;
    w = p;
  }
  return w;
}

bool IsWithin(HWND h, HWND ancestor) {
  for (Window* w = Find(h); w != nullptr; w = Find(w->parent))
    if (w->handle == ancestor) return true;
  return false;
}

RECT VerticalBar(const Window& w) {
  if (!w.barShown) return {};
  RECT c = ClientInWindow(w);
  LONG width = w.rect.right - w.rect.left;
  RECT bar{c.right, c.top, std::min<LONG>(c.right + kScrollWidth, width), c.bottom};
  return Empty(bar) ? RECT{} : bar;
}

RECT OkButton(const Window& w) {
  if (!HasCaption(w) || !(w.exStyle & WS_EX_CAPTIONOKBTN)) return {};
  LONG width = w.rect.right - w.rect.left;
  LONG b = Border(w);
  RECT ok{width - b - 3 - kOkButtonWidth, b + 3, width - b - 3, b + kCaptionHeight - 4};
  return ok.left < b ? RECT{} : ok;
}

LRESULT Send(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(h);
  if (w == nullptr) {
    const RemoteWindows* remote = Remote();
    if (remote != nullptr && remote->owns != nullptr && remote->owns(h) && remote->send != nullptr)
      return remote->send(h, message, wParam, lParam);
    return 0;
  }
  WNDPROC proc = w->proc;
  Core& c = TheCore();
  if (proc == nullptr || c.sendDepth >= kMaxSendDepth) return 0;
  if (Spy()) Spy()(h, message, wParam, lParam);
  ++c.sendDepth;
  LRESULT r = proc(h, message, wParam, lParam);
  --c.sendDepth;
  return r;
}

void FocusWindow(HWND h) {
  Core& c = TheCore();
  HWND old = c.focus;
  if (old == h) return;
  if (old != nullptr && Find(old) != nullptr) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h), 0);
  c.focus = Find(h) != nullptr ? h : nullptr;
  if (c.focus != nullptr) Send(h, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void Activate(HWND top, int how) {
  Core& c = TheCore();
  Window* w = TopLevelOf(Find(top));
  if (w != nullptr && (w->system || w->destroying)) return;
  top = w != nullptr ? w->handle : nullptr;
  HWND old = c.active;
  if (old == top) {
    if (top != nullptr) Raise(top);
    return;
  }
  c.active = top;
  if (top != nullptr) Raise(top);
  if (old != nullptr && Find(old) != nullptr)
    Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
  if (top != nullptr && c.active == top && Find(top) != nullptr)
    Send(top, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
  if (c.active == top) {
    if (top == nullptr) FocusWindow(nullptr);
    else if (Find(top) != nullptr && (c.focus == nullptr || !IsWithin(c.focus, top))) FocusWindow(top);
  }
  TaskbarChanged();
}

void ActivateNext(HWND leaving) {
  auto eligible = [leaving](HWND h) {
    Window* w = Find(h);
    return w != nullptr && h != leaving && w->parent == nullptr && !w->system && !w->destroying &&
           Shown(*w) && Enabled(*w) && !IsWithin(h, leaving);
  };
  HWND next = nullptr;
  if (Window* w = Find(leaving); w != nullptr && eligible(w->owner)) next = w->owner;
  for (size_t i = 0; next == nullptr && i < TheCore().topLevels.size(); ++i) {
    HWND h = TheCore().topLevels[i];
    Window* w = Find(h);
    if (eligible(h) && (w == nullptr || w->owner != leaving)) next = h;
  }
  Activate(next, WA_ACTIVE);
}

LONG ProcToken(WNDPROC proc) {
  std::vector<WNDPROC>& procs = Procs();
  auto it = std::find(procs.begin(), procs.end(), proc);
  size_t index = static_cast<size_t>(it - procs.begin());
  if (it == procs.end()) procs.push_back(proc);
  return static_cast<LONG>(INT32_MIN + static_cast<int64_t>(index));
}

WNDPROC ProcOfToken(LONG_PTR token) {
  const std::vector<WNDPROC>& procs = Procs();
  int64_t index = static_cast<int64_t>(token) - INT32_MIN;
  if (index < 0 || index >= static_cast<int64_t>(procs.size())) return nullptr;
  return procs[static_cast<size_t>(index)];
}

BOOL Place(HWND h, HWND after, int x, int y, int width, int height, UINT flags) {
  Window* w = Find(h);
  if (w == nullptr || w->destroying) return FALSE;
  RECT old = w->rect;
  RECT oldVisible = VisiblePart(*w, false);
  RECT oldClient = ClientInWindow(*w);
  RECT r = old;
  if (!(flags & SWP_NOMOVE)) r = Offset(r, ClampPosition(x) - r.left, ClampPosition(y) - r.top);
  if (!(flags & SWP_NOSIZE)) {
    r.right = r.left + ClampSize(width);
    r.bottom = r.top + ClampSize(height);
  }
  bool restacked = !(flags & SWP_NOZORDER) && Restack(*w, after);
  bool showing = (flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE);
  bool hiding = (flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE);
  bool changed = r.left != old.left || r.top != old.top || r.right != old.right || r.bottom != old.bottom;
  w->rect = r;
  if (showing) w->style |= WS_VISIBLE;
  if (hiding) w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (changed || restacked || showing || hiding) {
    Expose(oldVisible);
    if (Shown(*w)) InvalidateAll(*w, true);
  }
  WINDOWPOS pos{h, after, r.left, r.top, r.right - r.left, r.bottom - r.top, flags & 0xFFFFu};
  Send(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if ((w = Find(h)) == nullptr) return TRUE;
  RECT client = ClientInWindow(*w);
  LONG cw = client.right - client.left, ch = client.bottom - client.top;
  if (cw != oldClient.right - oldClient.left || ch != oldClient.bottom - oldClient.top)
    Send(h, WM_SIZE, SIZE_RESTORED, PackPoint(cw, ch));
  if ((w = Find(h)) == nullptr) return TRUE;
  if (w->rect.left + client.left != old.left + oldClient.left ||
      w->rect.top + client.top != old.top + oldClient.top)
    Send(h, WM_MOVE, 0, PackPoint(w->rect.left + client.left, w->rect.top + client.top));
  if ((w = Find(h)) == nullptr) return TRUE;
  if (hiding) Leave(h);
  else if (!(flags & SWP_NOACTIVATE) && w->parent == nullptr && !w->system && Shown(*w) && Enabled(*w))
    Activate(h, WA_ACTIVE);
  if ((showing || hiding) && Find(h) != nullptr && Find(h)->parent == nullptr) TaskbarChanged();
  return TRUE;
}

void ResetCore() {
  Core& c = TheCore();
  if (c.capture != nullptr) ReleaseCapture();
  for (int round = 0; round < 4; ++round) {
    std::vector<HWND> tops;
    for (HWND h : c.topLevels)
      if (Window* w = Find(h); w != nullptr && !w->system) tops.push_back(h);
    if (tops.empty()) break;
    for (HWND h : tops) DestroyWindow(h);
  }
  c.classes.erase(std::remove_if(c.classes.begin(), c.classes.end(),
                                 [](const std::shared_ptr<WindowClass>& k) { return k->instance != nullptr; }),
                  c.classes.end());
  c.focus = c.capture = nullptr;
  c.active = nullptr;
  c.sendDepth = 0;
  Spy() = nullptr;
  Remote() = nullptr;
}

}  // namespace win

using namespace win;

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (wc == nullptr || wc->lpszClassName == nullptr || IS_INTRESOURCE(wc->lpszClassName) ||
      wc->lpszClassName[0] == 0 || wc->lpfnWndProc == nullptr || wc->cbWndExtra < 0 ||
      wc->cbWndExtra > kMaxWindowExtra || wc->cbClsExtra < 0)
    return 0;
  if (LookUpClass(wc->lpszClassName) != nullptr) return 0;
  Core& c = TheCore();
  if (c.nextAtom == 0xFFFF) return 0;
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc->lpszClassName;
  cls->atom = c.nextAtom++;
  cls->style = wc->style;
  cls->proc = wc->lpfnWndProc;
  cls->wndExtra = wc->cbWndExtra;
  // Classes the platform registers at start have no instance; ResetCore keeps them.
  cls->instance = wc->hInstance != nullptr ? wc->hInstance : reinterpret_cast<HINSTANCE>(&c);
  cls->icon = wc->hIcon;
  cls->background = wc->hbrBackground;
  c.classes.push_back(cls);
  return cls->atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  std::shared_ptr<WindowClass> cls = LookUpClass(className);
  if (cls == nullptr) return FALSE;
  Core& c = TheCore();
  for (const auto& [n, w] : c.windows)
    if (w->cls == cls) return FALSE;
  c.classes.erase(std::find(c.classes.begin(), c.classes.end(), cls));
  return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     void* param) {
  EnsureStarted();
  std::shared_ptr<WindowClass> cls = LookUpClass(className);
  if (cls == nullptr) return nullptr;
  Core& c = TheCore();
  Window* p = nullptr;
  if (parent != nullptr && ((p = Find(parent)) == nullptr || p->destroying)) return nullptr;
  bool child = (style & WS_CHILD) != 0;
  if (child && p == nullptr) return nullptr;

  auto w = std::make_unique<Window>();
  HWND h = HandleOf(c.nextHandle);
  c.nextHandle += 4;
  w->handle = h;
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
  w->exStyle = exStyle;
  w->text = title != nullptr ? title : u"";
  w->instance = instance;
  w->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
  if (child) {
    w->parent = parent;
    w->id = static_cast<LONG>(reinterpret_cast<intptr_t>(menuOrId));
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  } else {
    w->menu = menuOrId;
    if (p != nullptr) w->owner = TopLevelOf(p)->handle;
    if (x == CW_USEDEFAULT) {
      x = 0;
      y = kTaskbarHeight;
    }
    if (width == CW_USEDEFAULT) {
      width = ScreenWidth() - x;
      height = ScreenHeight() - y;
    }
  }
  LONG left = ClampPosition(x), top = ClampPosition(y);
  w->rect = {left, top, left + ClampSize(width), top + ClampSize(height)};
  Window* raw = w.get();
  c.windows.emplace(NumberOf(h), std::move(w));
  if (child) {
    p->children.push_back(h);
  } else {
    c.topLevels.insert(c.topLevels.begin() + static_cast<std::ptrdiff_t>(FrontIndex(c.topLevels, *raw)), h);
  }

  CREATESTRUCTW cs{param, instance, menuOrId, parent, raw->rect.bottom - raw->rect.top,
                   raw->rect.right - raw->rect.left, raw->rect.top, raw->rect.left,
                   static_cast<LONG>(style), title, className, exStyle};
  LRESULT created = Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
  if (Find(h) == nullptr) return nullptr;
  if (created == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  Window* now = Find(h);
  RECT client = ClientInWindow(*now);
  Send(h, WM_SIZE, SIZE_RESTORED, PackPoint(client.right - client.left, client.bottom - client.top));
  if ((now = Find(h)) == nullptr) return nullptr;
  client = ClientInWindow(*now);
  Send(h, WM_MOVE, 0, PackPoint(now->rect.left + client.left, now->rect.top + client.top));
  if ((now = Find(h)) == nullptr) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(h, child || now->system ? SW_SHOWNA : SW_SHOW);
  return Find(h) != nullptr ? h : nullptr;
}

BOOL DestroyWindow(HWND h) {
  Window* w = Find(h);
  if (w == nullptr) return FALSE;
  if (w->destroying) return TRUE;
  Core& c = TheCore();
  w->destroying = true;
  if (w->style & WS_VISIBLE) {
    RECT old = VisiblePart(*w, false);
    w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    Expose(old);
  }
  Leave(h);
  std::vector<HWND> owned;
  for (HWND t : c.topLevels)
    if (Window* o = Find(t); o != nullptr && o->owner == h) owned.push_back(t);
  for (HWND o : owned) DestroyWindow(o);
  if ((w = Find(h)) != nullptr) {
    std::vector<HWND> children = w->children;
    for (HWND k : children) DestroyWindow(k);
  }
  Send(h, WM_DESTROY, 0, 0);
  if ((w = Find(h)) == nullptr) return TRUE;
  if (c.capture == h) c.capture = nullptr;
  if (c.focus == h) c.focus = nullptr;
  if (c.active == h) c.active = nullptr;
  std::vector<HWND>& siblings = SiblingsOf(*w);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
  ClearQueueFor(h);
  c.windows.erase(NumberOf(h));
  TaskbarChanged();
  return TRUE;
}

BOOL IsWindow(HWND h) {
  if (Find(h) != nullptr) return TRUE;
  const RemoteWindows* remote = Remote();
  return remote != nullptr && remote->owns != nullptr && h != nullptr && remote->owns(h) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND h, int command) {
  Window* w = Find(h);
  if (w == nullptr || w->destroying) return FALSE;
  BOOL was = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  bool show = command != SW_HIDE;
  bool activate = show && command != SW_SHOWNA && w->parent == nullptr && !w->system;
  if (show == static_cast<bool>(was)) {
    if (activate && Enabled(*w)) Activate(h, WA_ACTIVE);
    return was;
  }
  Send(h, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if ((w = Find(h)) == nullptr || w->destroying) return was;
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  if (!activate) flags |= SWP_NOACTIVATE;
  Place(h, nullptr, 0, 0, 0, 0, flags);
  return was;
}

BOOL UpdateWindow(HWND h) {
  if (Find(h) == nullptr) return FALSE;
  PaintPending(h, true);
  return TRUE;
}

BOOL IsWindowVisible(HWND h) {
  Window* w = Find(h);
  return w != nullptr && Shown(*w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND h, BOOL enable) {
  Window* w = Find(h);
  if (w == nullptr) return FALSE;
  BOOL wasDisabled = Enabled(*w) ? FALSE : TRUE;
  if ((enable != 0) == (wasDisabled == FALSE)) return wasDisabled;
  if (enable) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    w->style |= WS_DISABLED;
    DropCaptureWithin(h);
    Core& c = TheCore();
    if (c.focus != nullptr && IsWithin(c.focus, h)) FocusWindow(nullptr);
  }
  if ((w = Find(h)) != nullptr) InvalidateAll(*w, false);
  Send(h, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND h) {
  Window* w = Find(h);
  return w != nullptr && Enabled(*w) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND h, int x, int y, int width, int height, BOOL repaint) {
  return Place(h, nullptr, x, y, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL SetWindowPos(HWND h, HWND after, int x, int y, int width, int height, UINT flags) {
  return Place(h, after, x, y, width, height, flags);
}

BOOL GetClientRect(HWND h, RECT* rect) {
  Window* w = Find(h);
  if (w == nullptr || rect == nullptr) return FALSE;
  RECT c = ClientInWindow(*w);
  *rect = {0, 0, c.right - c.left, c.bottom - c.top};
  return TRUE;
}

BOOL GetWindowRect(HWND h, RECT* rect) {
  Window* w = Find(h);
  if (w == nullptr || rect == nullptr) return FALSE;
  *rect = WindowOnScreen(*w);
  return TRUE;
}

BOOL ClientToScreen(HWND h, POINT* point) {
  Window* w = Find(h);
  if (w == nullptr || point == nullptr) return FALSE;
  RECT c = ClientOnScreen(*w);
  point->x += c.left;
  point->y += c.top;
  return TRUE;
}

BOOL ScreenToClient(HWND h, POINT* point) {
  Window* w = Find(h);
  if (w == nullptr || point == nullptr) return FALSE;
  RECT c = ClientOnScreen(*w);
  point->x -= c.left;
  point->y -= c.top;
  return TRUE;
}

HWND GetParent(HWND h) {
  Window* w = Find(h);
  if (w == nullptr) {
    const RemoteWindows* remote = Remote();
    return remote != nullptr && remote->owns != nullptr && h != nullptr && remote->owns(h) &&
                   remote->parent != nullptr
               ? remote->parent(h)
               : nullptr;
  }
  if (w->parent != nullptr) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetWindow(HWND h, UINT relation) {
  Window* w = Find(h);
  if (w == nullptr) return nullptr;
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (relation == GW_OWNER) return w->owner;
  const std::vector<HWND>& list = SiblingsOf(*w);
  auto it = std::find(list.begin(), list.end(), h);
  if (it == list.end()) return nullptr;
  switch (relation) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == list.begin() ? nullptr : *(it - 1);
    default: return nullptr;
  }
}

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
  EnsureStarted();
  if (HWND h = FindTopLevel(className, title, true)) return h;
  const RemoteWindows* remote = Remote();
  return remote != nullptr && remote->find != nullptr ? remote->find(className, title) : nullptr;
}

HWND GetForegroundWindow(void) {
  EnsureStarted();
  HWND active = TheCore().active;
  // Our active window is in front only while the backend's window has the focus.
  const Backend& backend = CurrentBackend();
  bool focused = backend.hasFocus == nullptr || backend.hasFocus();
  if (focused && active != nullptr) return active;
  const RemoteWindows* remote = Remote();
  if (remote != nullptr && remote->foreground != nullptr) return remote->foreground();
  return focused ? active : nullptr;
}

BOOL SetForegroundWindow(HWND h) {
  Window* w = TopLevelOf(Find(h));
  if (w == nullptr) {
    const RemoteWindows* remote = Remote();
    if (remote != nullptr && remote->owns != nullptr && h != nullptr && remote->owns(h) &&
        remote->setForeground != nullptr)
      return remote->setForeground(h);
    return FALSE;
  }
  if (w->system || w->destroying) return FALSE;
  HWND target = w->handle;
  // A window behind its modal dialog gives the activation to the dialog.
  if (!Enabled(*w)) {
    for (HWND t : TheCore().topLevels) {
      Window* o = Find(t);
      if (o != nullptr && o->owner == target && Shown(*o) && Enabled(*o) && !o->destroying) {
        target = t;
        break;
      }
    }
  }
  Activate(target, WA_ACTIVE);
  if (CurrentBackend().raise != nullptr) CurrentBackend().raise();
  return TRUE;
}

HWND GetActiveWindow(void) { return TheCore().active; }

HWND SetFocus(HWND h) {
  Core& c = TheCore();
  HWND previous = c.focus;
  if (h == nullptr) {
    FocusWindow(nullptr);
    return previous;
  }
  Window* w = Find(h);
  if (w == nullptr || w->destroying) return nullptr;
  Window* top = TopLevelOf(w);
  if (top->system) return nullptr;
  if (c.active != top->handle) Activate(top->handle, WA_ACTIVE);
  if (Find(h) != nullptr) FocusWindow(h);
  return previous;
}

HWND GetFocus(void) { return TheCore().focus; }

HWND SetCapture(HWND h) {
  Core& c = TheCore();
  HWND previous = c.capture;
  Window* w = Find(h);
  if (w == nullptr || w->destroying || previous == h) return previous;
  c.capture = h;
  if (previous != nullptr && Find(previous) != nullptr)
    Send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(h));
  return previous;
}

BOOL ReleaseCapture(void) {
  Core& c = TheCore();
  HWND previous = c.capture;
  c.capture = nullptr;
  if (previous != nullptr && Find(previous) != nullptr) Send(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture(void) { return TheCore().capture; }

LONG GetWindowLongW(HWND h, int index) {
  Window* w = Find(h);
  if (w == nullptr) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_USERDATA: return static_cast<LONG>(w->userData);
    case GWL_ID: return w->id;
    case GWL_WNDPROC: return ProcToken(w->proc);
    default: return ReadExtra<LONG>(*w, index);
  }
}

LONG SetWindowLongW(HWND h, int index, LONG value) {
  Window* w = Find(h);
  if (w == nullptr) return 0;
  LONG previous = GetWindowLongW(h, index);
  switch (index) {
    case GWL_STYLE: {
      DWORD style = (static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_CHILD)) | (w->style & WS_CHILD);
      if ((style ^ w->style) & WS_VISIBLE) {
        RECT old = VisiblePart(*w, false);
        Expose(old);
      }
      w->style = style;
      InvalidateAll(*w, (style & WS_VISIBLE) != 0);
      return previous;
    }
    case GWL_EXSTYLE:
      w->exStyle = static_cast<DWORD>(value);
      w->frameDirty = true;
      return previous;
    case GWL_USERDATA: w->userData = value; return previous;
    case GWL_ID: w->id = value; return previous;
    case GWL_WNDPROC: {
      WNDPROC proc = ProcOfToken(value);
      if (proc == nullptr) return 0;
      w->proc = proc;
      return previous;
    }
    default: return WriteExtra(*w, index, value) ? previous : 0;
  }
}

LONG_PTR GetWindowLongPtrW(HWND h, int index) {
  Window* w = Find(h);
  if (w == nullptr) return 0;
  if (index == GWLP_WNDPROC) return reinterpret_cast<LONG_PTR>(w->proc);
  if (index == GWLP_USERDATA) return w->userData;
  if (index < 0) return GetWindowLongW(h, index);
  return ReadExtra<LONG_PTR>(*w, index);
}

LONG_PTR SetWindowLongPtrW(HWND h, int index, LONG_PTR value) {
  Window* w = Find(h);
  if (w == nullptr) return 0;
  LONG_PTR previous = GetWindowLongPtrW(h, index);
  if (index == GWLP_WNDPROC) {
    WNDPROC proc = ProcOfToken(value);
    if (proc == nullptr) proc = reinterpret_cast<WNDPROC>(value);
    if (proc == nullptr) return 0;
    w->proc = proc;
    return previous;
  }
  if (index == GWLP_USERDATA) {
    w->userData = value;
    return previous;
  }
  if (index < 0) return SetWindowLongW(h, index, static_cast<LONG>(value));
  return WriteExtra(*w, index, value) ? previous : 0;
}

int GetWindowTextW(HWND h, LPWSTR text, int capacity) {
  if (text == nullptr || capacity <= 0) return 0;
  text[0] = 0;
  return static_cast<int>(Send(h, WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND h) { return static_cast<int>(Send(h, WM_GETTEXTLENGTH, 0, 0)); }

BOOL SetWindowTextW(HWND h, LPCWSTR text) {
  if (Find(h) == nullptr) return FALSE;
  return Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

namespace {

int CopyText(const std::u16string& from, LPWSTR to, int capacity) {
  if (to == nullptr || capacity <= 0) return 0;
  size_t n = std::min(from.size(), static_cast<size_t>(capacity - 1));
  std::copy_n(from.data(), n, to);
  to[n] = 0;
  return static_cast<int>(n);
}

}  // namespace

int GetClassNameW(HWND h, LPWSTR name, int capacity) {
  Window* w = Find(h);
  return w == nullptr ? 0 : CopyText(w->cls->name, name, capacity);
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC real = ProcOfToken(reinterpret_cast<LONG_PTR>(procedure));
  if (real == nullptr) real = procedure;
  if (real == nullptr || reinterpret_cast<intptr_t>(real) < 0) return 0;
  return real(h, message, wParam, lParam);
}

LRESULT DefWindowProcW(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(h);
  if (w == nullptr) return 0;
  switch (message) {
    case WM_CLOSE: DestroyWindow(h); return 0;
    case WM_ERASEBKGND: {
      HBRUSH brush = w->cls->background;
      if (brush == nullptr || wParam == 0) return 0;
      RECT c = ClientInWindow(*w);
      RECT all{0, 0, c.right - c.left, c.bottom - c.top};
      FillRect(reinterpret_cast<HDC>(wParam), &all, brush);
      return 1;
    }
    case WM_SETTEXT: {
      LPCWSTR text = reinterpret_cast<LPCWSTR>(lParam);
      w->text = text != nullptr ? text : u"";
      if ((w->style & WS_CAPTION) == WS_CAPTION) w->frameDirty = true;
      if (w->parent == nullptr) TaskbarChanged();
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyText(w->text, reinterpret_cast<LPWSTR>(lParam),
                      static_cast<int>(std::min<WPARAM>(wParam, INT32_MAX)));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      if (wParam == HTVSCROLL) {
        RECT bar = VerticalBar(*w);
        if (Empty(bar)) return 0;
        RECT win = WindowOnScreen(*w);
        bar = Offset(bar, win.left, win.top);
        PressWindowScrollBar(h, &bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      }
      return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      MenuBarKey(h, message, wParam);
      return 0;
    case WM_CANCELMODE:
      if (TheCore().capture == h) ReleaseCapture();
      return 0;
    case WM_HELP:
      return w->parent != nullptr ? Send(w->parent, message, wParam, lParam) : 0;
    default: return 0;
  }
}

void TestSetMessageSpy(MessageSpy spy) { Spy() = std::move(spy); }
void SetRemoteWindows(const RemoteWindows* remote) { Remote() = remote; }
