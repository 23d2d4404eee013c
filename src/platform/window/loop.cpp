// The message queue and the loop: posting, retrieving and dispatching,
// WM_PAINT when nothing else waits, input from the backend turned into
// messages, key translation, dialog keys, modal loops, and the way a run
// winds up when its input has ended.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <unordered_map>

#include "platform/backend/backend.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/screen.h"
#include "platform/window/core.h"
#include "platform/window/shared.h"
#include "platform/window/testing.h"

namespace win {
namespace {

constexpr size_t kMaxQueue = 10000;
constexpr uint32_t kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 4;

struct Click {
  HWND window = nullptr;
  uint32_t time = 0;
  POINT at{};
};

struct Loop {
  std::deque<MSG> queue;
  bool quit = false;
  int quitCode = 0;
  std::vector<HWND> modal;
  std::array<bool, 256> keys{};
  std::array<WCHAR, 256> keyUnits{};
  POINT pointer{};
  HWND okTracking = nullptr;  // a window whose caption OK button is held down
  Click lastClick;
  std::unordered_map<uintptr_t, int> windUps;  // how often each window was asked to go
  uint64_t presented = ~uint64_t{0};
  bool altAlone = false;  // Alt is down and no other key went down since
};

Loop& TheLoop() {
  static Loop* loop = new Loop;
  return *loop;
}

bool InRange(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool Matches(const MSG& m, HWND filter, UINT first, UINT last) {
  if (m.message == WM_QUIT) return true;
  if (filter == reinterpret_cast<HWND>(-1)) {
    if (m.hwnd != nullptr) return false;
  } else if (filter != nullptr && !IsWithin(m.hwnd, filter)) {
    return false;
  }
  return InRange(m.message, first, last);
}

bool TakePosted(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  std::deque<MSG>& q = TheLoop().queue;
  for (auto it = q.begin(); it != q.end(); ++it) {
    if (!Matches(*it, filter, first, last)) continue;
    *out = *it;
    if (remove) q.erase(it);
    return true;
  }
  return false;
}

void Enqueue(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Loop& l = TheLoop();
  if (l.queue.size() >= kMaxQueue) return;
  l.queue.push_back(MSG{h, message, wParam, lParam, GetTickCount(), l.pointer});
}

bool Down(int key) { return TheLoop().keys[static_cast<size_t>(key) & 0xFF]; }

HWND KeyTarget() {
  Core& c = TheCore();
  if (Find(c.focus) != nullptr) return c.focus;
  return Find(c.active) != nullptr ? c.active : nullptr;
}

// The deepest shown window under a screen point; a disabled child lets the
// press through to what lies behind it.
HWND WindowAt(POINT p) {
  std::vector<HWND> order = PaintOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Window* w = Find(*it);
    if (w == nullptr || !Contains(VisiblePart(*w, false), p)) continue;
    if (w->parent != nullptr && !Enabled(*w)) continue;
    return *it;
  }
  return nullptr;
}

RECT OnScreen(const Window& w, const RECT& local) {
  RECT win = WindowOnScreen(w);
  return Empty(local) ? RECT{} : Offset(local, win.left, win.top);
}

void TrackOkButton(const InputEvent& e) {
  Loop& l = TheLoop();
  Window* w = Find(l.okTracking);
  if (w == nullptr) {
    l.okTracking = nullptr;
    return;
  }
  bool inside = Contains(OnScreen(*w, OkButton(*w)), POINT{e.x, e.y});
  if (e.kind == InputEvent::kRelease) {
    l.okTracking = nullptr;
    w->okPressed = false;
    w->frameDirty = true;
    if (inside) Enqueue(w->handle, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  } else if (inside != w->okPressed) {
    w->okPressed = inside;
    w->frameDirty = true;
  }
}

void Pointer(const InputEvent& e) {
  Loop& l = TheLoop();
  Core& c = TheCore();
  POINT p{e.x, e.y};
  l.pointer = p;
  bool press = e.kind == InputEvent::kPress;
  if (press) l.keys[VK_LBUTTON] = true;
  if (e.kind == InputEvent::kRelease) l.keys[VK_LBUTTON] = false;
  if (l.okTracking != nullptr) {
    TrackOkButton(e);
    return;
  }
  HWND target = Find(c.capture) != nullptr ? c.capture : nullptr;
  if (target == nullptr) {
    target = WindowAt(p);
    if (target == nullptr) return;
    if (press) {
      Window* top = TopLevelOf(Find(target));
      if (!Enabled(*top)) return;
      if (!top->system && c.active != top->handle) Activate(top->handle, WA_CLICKACTIVE);
      if (Find(target) == nullptr) return;
    }
    Window* w = Find(target);
    if (!Contains(ClientOnScreen(*w), p)) {
      if (!press) return;
      if (Contains(OnScreen(*w, OkButton(*w)), p)) {
        l.okTracking = target;
        w->okPressed = true;
        w->frameDirty = true;
      } else if (Contains(OnScreen(*w, VerticalBar(*w)), p)) {
        Enqueue(target, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(p.x, p.y));
      }
      return;
    }
  }
  Window* w = Find(target);
  RECT origin = ClientOnScreen(*w);
  LPARAM at = MAKELPARAM(static_cast<WORD>(p.x - origin.left), static_cast<WORD>(p.y - origin.top));
  UINT message = press ? WM_LBUTTONDOWN : e.kind == InputEvent::kMove ? WM_MOUSEMOVE : WM_LBUTTONUP;
  if (press) {
    uint32_t now = GetTickCount();
    const Click& last = l.lastClick;
    if ((w->cls->style & CS_DBLCLKS) && last.window == target && now - last.time <= kDoubleClickTime &&
        std::abs(last.at.x - p.x) <= kDoubleClickDistance && std::abs(last.at.y - p.y) <= kDoubleClickDistance) {
      message = WM_LBUTTONDBLCLK;
      l.lastClick = Click{};
    } else {
      l.lastClick = Click{target, now, p};
    }
  }
  Enqueue(target, message, l.keys[VK_LBUTTON] ? MK_LBUTTON : 0, at);
}

void Key(const InputEvent& e) {
  Loop& l = TheLoop();
  UINT vk = e.key & 0xFF;
  bool up = e.kind == InputEvent::kKeyUp;
  bool was = l.keys[vk];
  l.keys[vk] = !up;
  if (!up) l.keyUnits[vk] = e.unit;
  // Seen here, before accelerators can take a key away from the windows.
  if (!up) l.altAlone = vk == VK_MENU ? (was ? l.altAlone : true) : false;
  bool alt = Down(VK_MENU);
  bool system = ((alt || vk == VK_F10) && !Down(VK_CONTROL)) || vk == VK_MENU;
  UINT message = up ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
  LPARAM flags = 1 | (alt ? 1 << 29 : 0) | (up || was ? 1 << 30 : 0);
  if (up) flags |= static_cast<LPARAM>(1u << 31);
  HWND target = KeyTarget();
  if (target != nullptr) Enqueue(target, message, vk, flags);
}

void Convert(const InputEvent& e) {
  switch (e.kind) {
    case InputEvent::kPress:
    case InputEvent::kMove:
    case InputEvent::kRelease: Pointer(e); break;
    case InputEvent::kKeyDown:
    case InputEvent::kKeyUp: Key(e); break;
    case InputEvent::kChar:
      if (HWND target = KeyTarget()) Enqueue(target, WM_CHAR, e.unit, 1);
      break;
    case InputEvent::kCommand:
      if (HWND top = TheCore().active) Enqueue(top, WM_COMMAND, MAKEWPARAM(e.key, 0), 0);
      break;
  }
}

void Present() {
  Loop& l = TheLoop();
  if (ScreenChanges() == l.presented) return;
  l.presented = ScreenChanges();
  if (CurrentBackend().present != nullptr) CurrentBackend().present();
}

// Input has ended while a loop waits. Each call takes one step towards the
// end, so that the loops see the messages it posts: the capture is let go,
// the open modal loops are cancelled innermost first, then the program's
// top-level windows are closed; whatever refuses is destroyed, and at the
// very end the loops are told to quit.
void WindUp() {
  Loop& l = TheLoop();
  Core& c = TheCore();
  if (l.okTracking != nullptr) {
    if (Window* w = Find(l.okTracking)) {
      w->okPressed = false;
      w->frameDirty = true;
    }
    l.okTracking = nullptr;
  }
  if (c.capture != nullptr) {
    ReleaseCapture();
    Enqueue(nullptr, WM_NULL, 0, 0);
    return;
  }
  while (!l.modal.empty() && Find(l.modal.back()) == nullptr) l.modal.pop_back();
  if (!l.modal.empty()) {
    HWND m = l.modal.back();
    int n = ++l.windUps[NumberOf(m)];
    if (n == 1) Enqueue(m, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    else if (n == 2) Enqueue(m, WM_CLOSE, 0, 0);
    else if (n == 3) DestroyWindow(m);
    else PostQuitMessage(0);
    Enqueue(nullptr, WM_NULL, 0, 0);
    return;
  }
  std::vector<HWND> shown, hidden;
  for (HWND h : c.topLevels) {
    Window* w = Find(h);
    if (w == nullptr || w->system || w->destroying) continue;
    (Shown(*w) ? shown : hidden).push_back(h);
  }
  const std::vector<HWND>& going = shown.empty() ? hidden : shown;
  if (going.empty()) {
    PostQuitMessage(0);
    return;
  }
  for (HWND h : going) {
    int n = ++l.windUps[NumberOf(h)];
    if (n == 1) Enqueue(h, WM_CLOSE, 0, 0);
    else if (n == 2) DestroyWindow(h);
    else PostQuitMessage(0);
  }
  Enqueue(nullptr, WM_NULL, 0, 0);
}

WCHAR Typed(UINT vk, WCHAR given) {
  bool shift = Down(VK_SHIFT), control = Down(VK_CONTROL);
  if (given == kTypesNothing) return 0;
  if (given != 0) return given;
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return static_cast<WCHAR>(vk - 'A' + 1);
    return static_cast<WCHAR>(shift ? vk : vk + 32);
  }
  if (control) return vk == VK_RETURN ? u'\n' : 0;
  if (vk >= '0' && vk <= '9') return shift ? u")!@#$%^&*("[vk - '0'] : static_cast<WCHAR>(vk);
  switch (vk) {
    case VK_SPACE: return u' ';
    case VK_RETURN: return u'\r';
    case VK_ESCAPE: return 0x1B;
    case VK_BACK: return 0x08;
    case VK_TAB: return u'\t';
    default: return 0;
  }
}

void MoveTabFocus(HWND dialog, bool back) {
  Window* d = Find(dialog);
  if (d == nullptr) return;
  std::vector<HWND> stops;
  for (HWND k : d->children) {
    Window* w = Find(k);
    if (w != nullptr && (w->style & WS_TABSTOP) && Shown(*w) && Enabled(*w)) stops.push_back(k);
  }
  if (stops.empty()) return;
  HWND focus = TheCore().focus;
  auto it = std::find_if(stops.begin(), stops.end(), [focus](HWND s) { return IsWithin(focus, s); });
  size_t n = stops.size();
  size_t at = it == stops.end() ? (back ? n - 1 : 0)
                                 : (static_cast<size_t>(it - stops.begin()) + (back ? n - 1 : 1)) % n;
  HWND next = stops[at];
  SetFocus(next);
  WCHAR name[8] = {};
  if (GetClassNameW(next, name, 8) == 4 && LookUpClass(name) == LookUpClass(u"EDIT"))
    SendMessageW(next, EM_SETSEL, 0, -1);
}

}  // namespace

void ClearQueueFor(HWND h) {
  std::deque<MSG>& q = TheLoop().queue;
  q.erase(std::remove_if(q.begin(), q.end(), [h](const MSG& m) { return m.hwnd == h; }), q.end());
}

}  // namespace win

using namespace win;

void EnterModalLoop(HWND window) { TheLoop().modal.push_back(window); }

void LeaveModalLoop(HWND window) {
  std::vector<HWND>& modal = TheLoop().modal;
  auto it = std::find(modal.rbegin(), modal.rend(), window);
  if (it != modal.rend()) modal.erase(std::next(it).base());
}

const std::vector<HWND>& TestModalLoops() { return TheLoop().modal; }

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Send(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != nullptr && Find(window) == nullptr) return FALSE;
  if (TheLoop().queue.size() >= kMaxQueue) return FALSE;
  Enqueue(window, message, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  Loop& l = TheLoop();
  l.quit = true;
  l.quitCode = exitCode;
}

BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last) {
  if (message == nullptr || (window != nullptr && Find(window) == nullptr)) return -1;
  EnsureStarted();
  Loop& l = TheLoop();
  for (;;) {
    DeliverRemoteMessages();
    if (window != nullptr && Find(window) == nullptr) return -1;  // it went while we waited
    if (TakePosted(message, window, first, last, true)) return message->message != WM_QUIT;
    if (l.quit) {
      l.quit = false;
      *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(l.quitCode), 0, GetTickCount(), l.pointer};
      return FALSE;
    }
    TaskbarChanged();  // the clock may have moved on
    if (InRange(WM_PAINT, first, last) && NextPaint(window, message)) return TRUE;
    Present();
    InputEvent e;
    switch (CurrentBackend().waitInput(&e, -1)) {
      case InputWait::kEvent: Convert(e); break;
      case InputWait::kTimeout: break;
      case InputWait::kEnded: WindUp(); break;
    }
  }
}

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove) {
  if (message == nullptr) return FALSE;
  EnsureStarted();
  Loop& l = TheLoop();
  bool take = (remove & PM_REMOVE) != 0;
  for (int round = 0; round < 2; ++round) {
    DeliverRemoteMessages();
    if (TakePosted(message, window, first, last, take)) return TRUE;
    if (l.quit) {
      if (take) l.quit = false;
      *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(l.quitCode), 0, GetTickCount(), l.pointer};
      return TRUE;
    }
    if (InRange(WM_PAINT, first, last) && NextPaint(window, message)) return TRUE;
    if (round == 1) break;
    Present();
    InputEvent e;
    if (CurrentBackend().waitInput(&e, 0) != InputWait::kEvent) break;
    Convert(e);
  }
  return FALSE;
}

BOOL TranslateMessage(const MSG* message) {
  if (message == nullptr) return FALSE;
  bool system = message->message == WM_SYSKEYDOWN;
  if (message->message != WM_KEYDOWN && !system) return FALSE;
  UINT vk = static_cast<UINT>(message->wParam & 0xFF);
  if (Down(VK_CONTROL) && Down(VK_MENU)) return FALSE;
  WCHAR unit = Typed(vk, TheLoop().keyUnits[vk]);
  if (unit == 0) return FALSE;
  Enqueue(message->hwnd, system ? WM_SYSCHAR : WM_CHAR, unit, message->lParam);
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* message) {
  if (message == nullptr || message->hwnd == nullptr) return 0;
  Window* w = Find(message->hwnd);
  if (w == nullptr) return 0;
  if (message->message != WM_PAINT) return Send(message->hwnd, message->message, message->wParam, message->lParam);
  unsigned before = w->beginPaints;
  LRESULT r = Send(message->hwnd, WM_PAINT, message->wParam, message->lParam);
  // A procedure that never validates would be sent WM_PAINT for ever.
  if ((w = Find(message->hwnd)) != nullptr && w->beginPaints == before) {
    w->update = {};
    w->erase = false;
  }
  return r;
}

BOOL IsDialogMessageW(HWND dialog, MSG* message) {
  if (message == nullptr || Find(dialog) == nullptr || message->hwnd == nullptr ||
      !IsWithin(message->hwnd, dialog))
    return FALSE;
  if (message->message == WM_KEYDOWN) {
    switch (message->wParam) {
      case VK_RETURN: SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); return TRUE;
      case VK_ESCAPE: SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); return TRUE;
      case VK_TAB: MoveTabFocus(dialog, Down(VK_SHIFT)); return TRUE;
      default: break;
    }
  }
  TranslateMessage(message);
  DispatchMessageW(message);
  return TRUE;
}

short GetKeyState(int key) { return Down(key) ? static_cast<short>(0x8000) : 0; }
short GetAsyncKeyState(int key) { return GetKeyState(key); }

DWORD GetTickCount(void) {
  const Backend& b = CurrentBackend();
  return b.ticks != nullptr ? b.ticks() : 0;
}

int TestPumpMessages() {
  EnsureStarted();
  int dispatched = 0;
  MSG m;
  for (int guard = 0; guard < 100000; ++guard) {
    Loop& l = TheLoop();
    if (TakePosted(&m, nullptr, 0, 0, true)) {
      if (m.message == WM_QUIT) continue;
      DispatchMessageW(&m);
      ++dispatched;
      continue;
    }
    if (l.quit || !NextPaint(nullptr, &m)) break;
    DispatchMessageW(&m);
    ++dispatched;
  }
  Present();
  return dispatched;
}

namespace win {

void ResetLoop() {
  Loop& l = TheLoop();
  l = Loop{};
}

}  // namespace win

bool AltWentDownAlone() { return win::TheLoop().altAlone; }
void ForgetAltAlone() { win::TheLoop().altAlone = false; }
