// The desktop backend: an SDL window showing the device screen scaled by a
// whole factor, the left mouse button as the pen, keys as virtual keys and
// typed text as characters, the window's size as the screen's, and the X11
// clipboard.
#include "platform/backend/desktop.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <mutex>

#include "platform/backend/backend.h"
#include "platform/backend/x11_clipboard.h"
#include "platform/clipboard_bridge.h"
#include "platform/screen.h"
#include "platform/shell_execute.h"
#include "platform/window/core.h"
#include "platform/window/shared.h"
#include "platform/window/utf8.h"

namespace {

// Room for the window's frame and the desktop's panels.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 64;
constexpr int kMinScreenSide = 96;
constexpr int kMaxScreenSide = 8192;
const char kStartTitle[] = "Lumora";

struct Desktop {
  int requestedScale = 0;
  int scale = 1;
  SDL_Window* window = nullptr;
  Uint32 wakeType = 0;
  std::mutex wakeMutex;  // a wake from another thread against Close
  bool wakeable = false;
  std::atomic<bool> wakePending{false};
  std::deque<InputEvent> pending;
  bool ended = false;
  bool penDown = false;
  POINT pen{};
  std::array<bool, 256> down{};      // the keys reported pressed
  std::array<uint8_t, 3> sides{};    // Shift, Control, Alt: 1 left, 2 right
  std::string title;
  bool resized = false;
  int windowWidth = 0;
  int windowHeight = 0;
};

Desktop& TheDesktop() {
  static Desktop* d = new Desktop;
  return *d;
}

void Push(InputEvent::Kind kind, int x, int y, UINT key = 0, WCHAR unit = 0) {
  TheDesktop().pending.push_back(InputEvent{kind, x, y, key, unit});
}

bool Pop(InputEvent* event) {
  std::deque<InputEvent>& q = TheDesktop().pending;
  if (q.empty()) return false;
  *event = q.front();
  q.pop_front();
  return true;
}

int ChooseScale(int width, int height) {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  int s = std::min((usable.w - kFrameWidth) / width, (usable.h - kFrameHeight) / height);
  return std::clamp(s, 1, kMaxDesktopScale);
}

// The virtual key of an SDL key, or 0 for a key the device does not have.
UINT VirtualKey(const SDL_Keysym& k) {
  SDL_Keycode sym = k.sym;
  if (sym >= 'a' && sym <= 'z') return static_cast<UINT>(sym - 'a' + 'A');
  if (sym >= '0' && sym <= '9') return static_cast<UINT>(sym);
  // Layouts without Latin letters (Hebrew): where the key sits.
  if (k.scancode >= SDL_SCANCODE_A && k.scancode <= SDL_SCANCODE_Z) return 'A' + (k.scancode - SDL_SCANCODE_A);
  if (k.scancode >= SDL_SCANCODE_1 && k.scancode <= SDL_SCANCODE_9) return '1' + (k.scancode - SDL_SCANCODE_1);
  if (k.scancode == SDL_SCANCODE_0) return '0';
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return static_cast<UINT>(VK_F1 + (sym - SDLK_F1));
  switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;  // AltGr comes as SDLK_MODE and types instead
    default: return 0;
  }
}

std::u16string Units(const char* utf8) {
  std::u16string units;
  Utf8ToUtf16(utf8, &units);  // a malformed tail is dropped
  return units;
}

// SDL queues a key's text right behind the key; taking it here keeps the
// character from arriving twice.
std::u16string TextBehind() {
  SDL_Event next;
  if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1 || next.type != SDL_TEXTINPUT)
    return u"";
  SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
  return Units(next.text.text);
}

void Modifier(Desktop& d, UINT vk, bool press, bool right) {
  uint8_t& sides = d.sides[vk - VK_SHIFT];
  uint8_t side = right ? 2 : 1;
  if (press) {
    sides |= side;
    d.down[vk] = true;
    Push(InputEvent::kKeyDown, 0, 0, vk);
  } else if ((sides &= static_cast<uint8_t>(~side)) == 0 && d.down[vk]) {
    d.down[vk] = false;
    Push(InputEvent::kKeyUp, 0, 0, vk);
  }
}

void Key(Desktop& d, const SDL_KeyboardEvent& k) {
  bool press = k.type == SDL_KEYDOWN;
  std::u16string text = press ? TextBehind() : u"";
  UINT vk = VirtualKey(k.keysym);
  if (vk == 0) {
    for (char16_t u : text) Push(InputEvent::kChar, 0, 0, 0, u);
    return;
  }
  if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
    bool right = k.keysym.sym == SDLK_RSHIFT || k.keysym.sym == SDLK_RCTRL || k.keysym.sym == SDLK_RALT;
    Modifier(d, vk, press, right);
    return;
  }
  if (!press) {
    if (d.down[vk]) Push(InputEvent::kKeyUp, 0, 0, vk);
    d.down[vk] = false;
    return;
  }
  WCHAR unit = 0;  // the window system's own: control characters, Return, Tab
  bool printable = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || vk == VK_SPACE;
  if (!text.empty()) unit = text[0];
  else if (printable && !d.down[VK_CONTROL] && !d.down[VK_MENU]) unit = kTypesNothing;  // its text comes later, if at all
  d.down[vk] = true;
  Push(InputEvent::kKeyDown, 0, 0, vk, unit);
  for (size_t i = 1; i < text.size(); ++i) Push(InputEvent::kChar, 0, 0, 0, text[i]);
}

void Typed(Desktop& d, const char* utf8) {
  if (d.down[VK_MENU] && !d.down[VK_CONTROL]) return;  // Alt with a key: the key speaks for it
  for (char16_t u : Units(utf8)) Push(InputEvent::kChar, 0, 0, 0, u);
}

POINT OnScreen(const Desktop& d, int x, int y) {
  return POINT{std::clamp(x / d.scale, 0, ScreenWidth() - 1), std::clamp(y / d.scale, 0, ScreenHeight() - 1)};
}

void Pen(Desktop& d, const SDL_Event& e) {
  if (e.type == SDL_MOUSEMOTION) {
    if (!d.penDown) return;
    d.pen = OnScreen(d, e.motion.x, e.motion.y);
    if (!d.pending.empty() && d.pending.back().kind == InputEvent::kMove) d.pending.pop_back();
    Push(InputEvent::kMove, d.pen.x, d.pen.y);
    return;
  }
  if (e.button.button != SDL_BUTTON_LEFT) return;
  bool press = e.type == SDL_MOUSEBUTTONDOWN;
  if (!press && !d.penDown) return;
  d.penDown = press;
  d.pen = OnScreen(d, e.button.x, e.button.y);
  Push(press ? InputEvent::kPress : InputEvent::kRelease, d.pen.x, d.pen.y);
}

// What was held when the window lost the focus comes up.
void LetGo(Desktop& d) {
  for (UINT vk = 0; vk < d.down.size(); ++vk)
    if (d.down[vk]) Push(InputEvent::kKeyUp, 0, 0, vk);
  d.down.fill(false);
  d.sides.fill(0);
  if (d.penDown) Push(InputEvent::kRelease, d.pen.x, d.pen.y);
  d.penDown = false;
}

void Present() {
  Desktop& d = TheDesktop();
  if (d.window == nullptr) return;
  SDL_Surface* target = SDL_GetWindowSurface(d.window);
  if (target == nullptr) return;
  int w = ScreenWidth(), h = ScreenHeight();
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(ScreenPixels(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGB888);
  if (frame == nullptr) return;
  SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0x30, 0x30, 0x30));
  SDL_Rect to{0, 0, w * d.scale, h * d.scale};
  SDL_BlitScaled(frame, nullptr, target, &to);
  SDL_FreeSurface(frame);
  SDL_UpdateWindowSurface(d.window);
}

// The window took a new size: so does the screen, as a handheld's does when
// it turns.
void FollowSize(Desktop& d) {
  d.resized = false;
  int w = std::clamp(d.windowWidth / d.scale, 1, kMaxScreenSide);
  int h = std::clamp(d.windowHeight / d.scale, 1, kMaxScreenSide);
  if (w != ScreenWidth() || h != ScreenHeight()) ResizeDeviceScreen(w, h);
  else Present();  // the window's surface came back blank
}

void WindowEvent(Desktop& d, const SDL_WindowEvent& w) {
  switch (w.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      d.resized = true;
      d.windowWidth = w.data1;
      d.windowHeight = w.data2;
      break;
    case SDL_WINDOWEVENT_EXPOSED: Present(); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: LetGo(d); break;
    case SDL_WINDOWEVENT_CLOSE: d.ended = true; break;
    default: break;
  }
}

// True for a wake.
bool Handle(Desktop& d, const SDL_Event& e) {
  if (e.type == d.wakeType) {
    d.wakePending = false;
    return true;
  }
  switch (e.type) {
    case SDL_QUIT: d.ended = true; break;
    case SDL_WINDOWEVENT: WindowEvent(d, e.window); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION: Pen(d, e); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: Key(d, e.key); break;
    case SDL_TEXTINPUT: Typed(d, e.text.text); break;
    default: break;
  }
  return false;
}

void FollowTitle(Desktop& d) {
  win::Window* w = win::Find(win::TheCore().active);
  if (w == nullptr || w->text.empty()) return;
  std::string title = Utf16ToUtf8(w->text);
  if (title == d.title) return;
  d.title = title;
  SDL_SetWindowTitle(d.window, title.c_str());
}

// The taskbar's clock moves on at each minute.
int64_t MillisecondsToNextMinute() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  return 60000 - std::chrono::duration_cast<std::chrono::milliseconds>(now).count() % 60000 + 5;
}

InputWait Wait(InputEvent* event, int64_t timeoutMs) {
  Desktop& d = TheDesktop();
  if (Pop(event)) return InputWait::kEvent;
  if (d.ended || d.window == nullptr) return InputWait::kEnded;
  FollowTitle(d);
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    int64_t wait = 0;
    if (!d.resized) {  // a new size waits only for the events queued behind it
      wait = MillisecondsToNextMinute();
      if (timeoutMs >= 0) {
        auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        wait = std::min<int64_t>(wait, timeoutMs - spent.count());
      }
    }
    SDL_Event e;
    bool got = wait > 0 ? SDL_WaitEventTimeout(&e, static_cast<int>(wait)) != 0 : SDL_PollEvent(&e) != 0;
    if (!got) {
      if (d.resized) FollowSize(d);
      return InputWait::kTimeout;
    }
    bool woken = Handle(d, e);
    if (Pop(event)) return InputWait::kEvent;
    if (d.ended) return InputWait::kEnded;
    if (woken) return InputWait::kTimeout;
  }
}

void Wake() {
  Desktop& d = TheDesktop();
  std::lock_guard<std::mutex> lock(d.wakeMutex);
  if (!d.wakeable || d.wakePending.exchange(true)) return;
  SDL_Event e{};
  e.type = d.wakeType;
  if (SDL_PushEvent(&e) <= 0) d.wakePending = false;
}

bool Open(std::string* error) {
  Desktop& d = TheDesktop();
  if (!DesktopDisplayNamed()) {
    *error = "no display ($DISPLAY and $WAYLAND_DISPLAY are not set)";
    return false;
  }
  X11PrepareForThreads();
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("cannot open a window: ") + SDL_GetError();
    return false;
  }
  // On X11 the screen goes straight to the window, without OpenGL.
  if (const char* driver = SDL_GetCurrentVideoDriver(); driver != nullptr && std::string(driver) == "x11")
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  d.wakeType = SDL_RegisterEvents(1);
  int w = ScreenWidth(), h = ScreenHeight();
  d.scale = d.requestedScale > 0 ? d.requestedScale : ChooseScale(w, h);
  d.window = SDL_CreateWindow(kStartTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w * d.scale, h * d.scale,
                              SDL_WINDOW_RESIZABLE);
  if (d.window == nullptr || d.wakeType == static_cast<Uint32>(-1)) {
    *error = std::string("cannot open a window: ") + SDL_GetError();
    if (d.window != nullptr) SDL_DestroyWindow(d.window);
    d.window = nullptr;
    SDL_Quit();
    return false;
  }
  SDL_SetWindowMinimumSize(d.window, std::min(w, kMinScreenSide) * d.scale, std::min(h, kMinScreenSide) * d.scale);
  SDL_GetWindowSize(d.window, &d.windowWidth, &d.windowHeight);
  SDL_GetWindowSurface(d.window);  // where a backend needs it, SDL makes the window again here, not later
  SDL_StartTextInput();
  d.title = kStartTitle;
  d.ended = false;
  std::string unused;
  X11ClipboardStart(&unused);  // without X the clipboard stays in the process
  std::lock_guard<std::mutex> lock(d.wakeMutex);
  d.wakeable = true;
  d.wakePending = false;
  return true;
}

void Close() {
  Desktop& d = TheDesktop();
  X11ClipboardStop();
  {
    std::lock_guard<std::mutex> lock(d.wakeMutex);
    d.wakeable = false;
  }
  if (d.window != nullptr) SDL_DestroyWindow(d.window);
  d.window = nullptr;
  SDL_Quit();
  d.pending.clear();
  d.ended = d.penDown = d.resized = false;
  d.down.fill(false);
  d.sides.fill(0);
}

bool HasFocus() {
  SDL_Window* w = TheDesktop().window;
  return w != nullptr && (SDL_GetWindowFlags(w) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void Raise() {
  SDL_Window* w = TheDesktop().window;
  if (w == nullptr) return;
  if (SDL_GetWindowFlags(w) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(w);
  SDL_RaiseWindow(w);
}

uint32_t Ticks() { return SDL_GetTicks(); }

int MinuteOfDay() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 12 * 60;
  return local.tm_hour * 60 + local.tm_min;
}

}  // namespace

const Backend& DesktopBackend() {
  static const Backend backend{"desktop", Open,       Close,       Present, Wait,  Wake,
                               &X11ClipboardBridge(), SpawnBrowser, HasFocus, Raise, Ticks, MinuteOfDay};
  return backend;
}

bool DesktopDisplayNamed() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != 0) return true;
  }
  return false;
}

void DesktopSetScale(int scale) { TheDesktop().requestedScale = std::clamp(scale, 0, kMaxDesktopScale); }
