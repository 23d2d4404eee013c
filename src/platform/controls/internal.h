// What the controls share: their colours, the default font, per-window
// state, notifications and a few drawing helpers. Internal to the controls.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/controls.h"
#include "platform/controls/look.h"

namespace controls {

// State kept per window. A handler holds its own reference, so a window
// destroyed while it notifies its parent leaves the state alive until the
// handler returns; `dead` then tells it to stop.
struct Base {
  bool dead = false;
};

template <class T>
class StateTable {
 public:
  std::shared_ptr<T> Find(HWND window) const {
    auto it = map_.find(window);
    return it == map_.end() ? nullptr : it->second;
  }
  std::shared_ptr<T> Create(HWND window) {
    Erase(window);
    auto state = std::make_shared<T>();
    map_[window] = state;
    return state;
  }
  void Erase(HWND window) {
    auto it = map_.find(window);
    if (it == map_.end()) return;
    it->second->dead = true;
    map_.erase(it);
  }

 private:
  std::unordered_map<HWND, std::shared_ptr<T>> map_;
};

// The font of the default dialog ("System", 8 points); never deleted.
HFONT DefaultFont();
// A font height for a size in points on the 96-dpi screen.
LONG PointsToHeight(int points);
// The font to draw with: `font` while it is alive, else the default.
HFONT UsableFont(HFONT font);

// What every control answers alike: erasing (each paints its whole client
// area), new text and enabling (a repaint), the font; the rest goes to
// DefWindowProcW.
LRESULT CommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HFONT* font);

// WM_COMMAND to the parent with the control's id and this code.
void Notify(HWND control, WORD code);

std::u16string WindowText(HWND window);

void FillColour(HDC dc, const RECT& rect, COLORREF colour);
// A one-pixel outline on the rectangle's outermost pixels.
void Frame(HDC dc, const RECT& rect, COLORREF colour);
// A filled triangle pointing up or down, centred in `rect`.
void Arrow(HDC dc, const RECT& rect, bool up, COLORREF colour);

// The client area's painting for one WM_PAINT.
class Paint {
 public:
  explicit Paint(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~Paint() { EndPaint(window_, &ps_); }
  Paint(const Paint&) = delete;
  Paint& operator=(const Paint&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A font selected for one scope.
class Select {
 public:
  Select(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Select() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The window procedures of the built-in classes.
LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Scroll bars, the control and a window's own bar: where the parts lie in a
// bar's rectangle, and what a press on one of them does.
enum class Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct BarGeometry {
  RECT up{}, down{}, thumb{}, track{};
  bool active = false;  // there is something to scroll
  bool thumbShown = false;
};
BarGeometry MeasureBar(const RECT& bar, const SCROLLINFO& info, int thumbTop = -1);
Part HitBar(const BarGeometry& g, POINT p);
int ThumbPositionAt(const RECT& bar, const SCROLLINFO& info, int thumbTop);
void DrawBar(HDC dc, const RECT& bar, const SCROLLINFO& info, Part pressed, int thumbTop);

// One press on a bar, from the button going down to its release. `send`
// delivers a WM_VSCROLL code with its position.
struct BarTrack {
  Part part = Part::None;
  Part pressedNow = Part::None;  // the part drawn pressed (the pointer is on it)
  int grabOffset = 0;             // from the thumb's top to the pointer
  int thumbTop = -1;              // the dragged thumb's top, -1 when not dragging
  int trackPos = 0;
};
// Returns false when the press hit no part.
bool BarPress(BarTrack* t, const RECT& bar, const SCROLLINFO& info, POINT p,
              void (*send)(void* context, int code, int pos), void* context);
void BarMove(BarTrack* t, const RECT& bar, const SCROLLINFO& info, POINT p,
             void (*send)(void* context, int code, int pos), void* context);
void BarRelease(BarTrack* t, void (*send)(void* context, int code, int pos), void* context);

// Dialog units to pixels for a font's base units.
POINT BaseUnitsOf(HFONT font);

}  // namespace controls
