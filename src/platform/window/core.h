// The window system's own records: classes, windows, the queue and the
// state that ties them together. Internal to window/.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/user.h"

namespace win {

// Look of the non-client parts and the shell.
constexpr int kCaptionHeight = 22;
constexpr int kScrollWidth = 13;
constexpr int kTaskbarHeight = 26;
constexpr int kOkButtonWidth = 26;
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kHighlight = RGB(0, 80, 200);
constexpr COLORREF kDesktop = RGB(255, 255, 255);

struct WindowClass {
  std::u16string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HBRUSH background = nullptr;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::u16string text;
  HWND parent = nullptr;  // WS_CHILD windows
  HWND owner = nullptr;   // top-level windows created with a parent
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect{};  // in the parent's client coordinates; the screen's for top-level windows
  LONG id = 0;
  LONG_PTR userData = 0;
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  std::vector<uint8_t> extra;
  // Painting: the update rectangle in client coordinates.
  RECT update{};
  bool erase = false;
  bool frameDirty = false;
  unsigned beginPaints = 0;
  // The WS_VSCROLL bar.
  SCROLLINFO bar{sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
  bool barShown = false;
  bool barKeep = false;  // SIF_DISABLENOSCROLL: shown without a range
  bool okPressed = false;
  bool destroying = false;
  bool system = false;  // the platform's own (the taskbar)
};

struct Core {
  std::unordered_map<uintptr_t, std::unique_ptr<Window>> windows;
  std::vector<HWND> topLevels;  // z-order, topmost first
  std::vector<std::shared_ptr<WindowClass>> classes;
  uintptr_t nextHandle = 0x40000;
  ATOM nextAtom = 0xC000;
  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
  HWND taskbar = nullptr;
  RECT desktopDirty{};
  bool started = false;
  int sendDepth = 0;
};

Core& TheCore();
// Registers the built-in classes and makes the taskbar, once.
void EnsureStarted();
// Throws away every window, class and message (tests).
void ResetCore();
void ResetLoop();
void ResetSystem();

Window* Find(HWND window);
// This process's first top-level window of the class (a name or an atom) and
// title; null names match any. The platform's own windows only when asked.
HWND FindTopLevel(LPCWSTR className, LPCWSTR title, bool withSystem);
// Messages sent here from other processes, run now (see remote.h).
void DeliverRemoteMessages();
std::shared_ptr<WindowClass> LookUpClass(LPCWSTR name);

// Geometry. Client rectangles are relative to the window's top-left.
RECT ClientInWindow(const Window& w);
RECT WindowOnScreen(const Window& w);
RECT ClientOnScreen(const Window& w);
// Where the window may show, on the screen: its rectangle (or its client
// area) cut by every ancestor's client area; empty when it is hidden.
RECT VisiblePart(const Window& w, bool clientOnly);
bool Shown(const Window& w);
bool Enabled(const Window& w);
Window* TopLevelOf(Window* w);
bool IsWithin(HWND window, HWND ancestor);
RECT VerticalBar(const Window& w);  // window coordinates; empty without a bar
RECT OkButton(const Window& w);     // window coordinates; empty without one

// Painting.
std::vector<HWND> PaintOrder();  // back to front
void InvalidateAll(Window& w, bool tree);
void Expose(const RECT& screen);
void DrewOn(HWND window, const RECT& screen, bool descendants);
bool NextPaint(HWND filter, MSG* message);
void PaintFrame(HWND window);
void PaintPending(HWND window, bool tree);
bool WindowArea(HWND window, RECT* area, RECT* clip);
// The captions' and the taskbar's font: the system face, bold.
HFONT BoldFont();

// Messages.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Activate(HWND top, int how);
void ActivateNext(HWND leaving);
void FocusWindow(HWND window);
void TaskbarChanged();
void ClearQueueFor(HWND window);

// Procedures behind GWL_WNDPROC numbers.
LONG ProcToken(WNDPROC proc);
WNDPROC ProcOfToken(LONG_PTR token);

// Geometry change with its messages; flags as SetWindowPos.
BOOL Place(HWND window, HWND after, int x, int y, int width, int height, UINT flags);

// The shell's built-in class and window.
void RegisterTaskbarClass();
void CreateTaskbar();
void ResetShell();

inline HWND HandleOf(uintptr_t n) { return reinterpret_cast<HWND>(n); }
inline uintptr_t NumberOf(HWND h) { return reinterpret_cast<uintptr_t>(h); }
inline bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT Intersect(const RECT& a, const RECT& b);
RECT Union(const RECT& a, const RECT& b);
RECT Offset(RECT r, LONG dx, LONG dy);
bool Contains(const RECT& r, POINT p);

}  // namespace win
