// Painting: update rectangles, WM_PAINT, the non-client parts (border,
// caption with its title and OK button, the vertical scroll bar) and the
// screen's consistency. Windows share the one screen and a context has one
// clip rectangle, so a window that draws marks what lies above it for
// painting again, and uncovered screen is painted back to front.
#include <algorithm>
#include <functional>

#include "platform/screen.h"
#include "platform/window/core.h"
#include "platform/window/shared.h"

namespace win {
namespace {

void AddTree(HWND h, std::vector<HWND>* out) {
  out->push_back(h);
  Window* w = Find(h);
  if (w == nullptr) return;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) AddTree(*it, out);
}

RECT ScreenRect() { return {0, 0, ScreenWidth(), ScreenHeight()}; }

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void FrameColour(HDC dc, const RECT& r, COLORREF colour) {
  if (Empty(r)) return;
  FillColour(dc, {r.left, r.top, r.right, r.top + 1}, colour);
  FillColour(dc, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
  FillColour(dc, {r.left, r.top, r.left + 1, r.bottom}, colour);
  FillColour(dc, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

void DrawCaption(HDC dc, const Window& w) {
  LONG width = w.rect.right - w.rect.left;
  LONG b = (w.style & (WS_BORDER | WS_DLGFRAME)) ? 1 : 0;
  RECT bar{b, b, width - b, b + kCaptionHeight};
  FillColour(dc, bar, RGB(255, 255, 255));
  FillColour(dc, {bar.left, bar.bottom - 1, bar.right, bar.bottom}, kNavy);
  RECT ok = OkButton(w);
  HGDIOBJ oldFont = SelectObject(dc, BoldFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kNavy);
  RECT title{bar.left + 4, bar.top, Empty(ok) ? bar.right - 4 : ok.left - 4, bar.bottom - 1};
  DrawTextW(dc, w.text.c_str(), static_cast<int>(w.text.size()), &title,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (!Empty(ok)) {
    FillColour(dc, ok, w.okPressed ? kHighlight : RGB(255, 255, 255));
    FrameColour(dc, ok, kNavy);
    SetTextColor(dc, w.okPressed ? RGB(255, 255, 255) : kNavy);
    DrawTextW(dc, u"ok", 2, &ok, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}

void FlushDesktop() {
  Core& c = TheCore();
  RECT dirty = Intersect(c.desktopDirty, ScreenRect());
  c.desktopDirty = {};
  if (Empty(dirty)) return;
  HDC dc = CreateScreenDC(ScreenRect(), &dirty);
  FillColour(dc, ScreenRect(), kDesktop);
  DeleteDC(dc);
}

void AddUpdate(Window& w, const RECT& clientRect, bool erase) {
  if (Empty(clientRect)) return;
  w.update = Union(w.update, clientRect);
  if (erase) w.erase = true;
}

// The part of a screen rectangle that falls in a window: its frame is marked
// and the client part joins the update rectangle.
void MarkScreenPart(Window& w, const RECT& screen) {
  RECT all = VisiblePart(w, false);
  if (Empty(Intersect(all, screen))) return;
  w.frameDirty = true;
  RECT client = Intersect(VisiblePart(w, true), screen);
  if (Empty(client)) return;
  RECT origin = ClientOnScreen(w);
  AddUpdate(w, Offset(client, -origin.left, -origin.top), true);
}

// Paints every pending frame and client area of the windows chosen, in
// painting order, sending WM_PAINT itself.
void PaintWhere(const std::function<bool(HWND)>& chosen) {
  FlushDesktop();
  for (HWND h : PaintOrder()) {
    if (!chosen(h)) continue;
    Window* w = Find(h);
    if (w == nullptr || !Shown(*w)) continue;
    if (w->frameDirty) PaintFrame(h);
    if ((w = Find(h)) == nullptr || Empty(w->update)) continue;
    unsigned before = w->beginPaints;
    Send(h, WM_PAINT, 0, 0);
    if ((w = Find(h)) != nullptr && w->beginPaints == before) {
      w->update = {};
      w->erase = false;
    }
  }
}

}  // namespace

HFONT BoldFont() {
  static HFONT font = [] {
    LOGFONTW lf{};
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&lf);
  }();
  return font;
}

std::vector<HWND> PaintOrder() {
  std::vector<HWND> order;
  const std::vector<HWND>& tops = TheCore().topLevels;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) AddTree(*it, &order);
  return order;
}

void InvalidateAll(Window& w, bool tree) {
  w.frameDirty = true;
  RECT c = ClientInWindow(w);
  AddUpdate(w, {0, 0, c.right - c.left, c.bottom - c.top}, true);
  if (!tree) return;
  for (HWND k : w.children)
    if (Window* child = Find(k)) InvalidateAll(*child, true);
}

void Expose(const RECT& screen) {
  if (Empty(screen)) return;
  Core& c = TheCore();
  c.desktopDirty = Union(c.desktopDirty, screen);
  for (HWND h : PaintOrder())
    if (Window* w = Find(h); w != nullptr && Shown(*w)) MarkScreenPart(*w, screen);
}

void DrewOn(HWND h, const RECT& screen, bool descendants) {
  if (Empty(screen)) return;
  std::vector<HWND> order = PaintOrder();
  auto it = std::find(order.begin(), order.end(), h);
  if (it == order.end()) return;
  for (++it; it != order.end(); ++it) {
    Window* w = Find(*it);
    if (w == nullptr || !Shown(*w) || (!descendants && IsWithin(*it, h))) continue;
    MarkScreenPart(*w, screen);
  }
}

bool NextPaint(HWND filter, MSG* message) {
  FlushDesktop();
  for (HWND h : PaintOrder()) {
    if (filter != nullptr && !IsWithin(h, filter)) continue;
    Window* w = Find(h);
    if (w == nullptr || !Shown(*w)) continue;
    if (w->frameDirty) PaintFrame(h);
    if ((w = Find(h)) == nullptr || Empty(w->update)) continue;
    *message = MSG{h, WM_PAINT, 0, 0, GetTickCount(), {}};
    return true;
  }
  return false;
}

void PaintFrame(HWND h) {
  Window* w = Find(h);
  if (w == nullptr) return;
  w->frameDirty = false;
  RECT clip = VisiblePart(*w, false);
  if (Empty(clip)) return;
  RECT win = WindowOnScreen(*w);
  RECT local{0, 0, win.right - win.left, win.bottom - win.top};
  bool border = (w->style & (WS_BORDER | WS_DLGFRAME)) != 0;
  bool caption = (w->style & WS_CAPTION) == WS_CAPTION;
  RECT bar = VerticalBar(*w);
  if (!border && !caption && Empty(bar) && !(w->exStyle & WS_EX_CLIENTEDGE)) return;
  HDC dc = CreateScreenDC(win, &clip);
  if (dc == nullptr) return;
  RECT inner = local;
  if (border) {
    FrameColour(dc, inner, RGB(0, 0, 0));
    inner = {inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    FrameColour(dc, inner, RGB(128, 128, 128));
    FrameColour(dc, {inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1}, RGB(192, 192, 192));
  }
  if (caption) DrawCaption(dc, *w);
  SCROLLINFO info = w->bar;
  DrewOn(h, clip, false);
  if (!Empty(bar)) {
    FillColour(dc, bar, RGB(216, 216, 216));
    PaintWindowScrollBar(h, dc, &bar, &info);
  }
  DeleteDC(dc);
}

void PaintPending(HWND h, bool tree) {
  PaintWhere([h, tree](HWND k) { return k == h || (tree && IsWithin(k, h)); });
}

bool WindowArea(HWND h, RECT* area, RECT* clip) {
  Window* w = Find(h);
  if (w == nullptr) return false;
  *area = ClientOnScreen(*w);
  *clip = VisiblePart(*w, true);
  DrewOn(h, *clip, true);
  return true;
}

}  // namespace win

using namespace win;

BOOL InvalidateRect(HWND h, const RECT* rect, BOOL erase) {
  if (h == nullptr) {
    Expose(ScreenRect());
    return TRUE;
  }
  Window* w = Find(h);
  if (w == nullptr) return FALSE;
  RECT c = ClientInWindow(*w);
  RECT all{0, 0, c.right - c.left, c.bottom - c.top};
  AddUpdate(*w, rect != nullptr ? Intersect(*rect, all) : all, erase != 0);
  return TRUE;
}

BOOL ValidateRect(HWND h, const RECT* rect) {
  Window* w = Find(h);
  if (w == nullptr) return FALSE;
  if (rect == nullptr) {
    w->update = {};
    w->erase = false;
    return TRUE;
  }
  RECT u = w->update;
  const RECT& r = *rect;
  // The update stays one rectangle: only a cut that leaves a rectangle shrinks it.
  if (r.left <= u.left && r.right >= u.right) {
    if (r.top <= u.top && r.bottom >= u.bottom) u = {};
    else if (r.top <= u.top && r.bottom > u.top) u.top = r.bottom;
    else if (r.bottom >= u.bottom && r.top < u.bottom) u.bottom = r.top;
  } else if (r.top <= u.top && r.bottom >= u.bottom) {
    if (r.left <= u.left && r.right > u.left) u.left = r.right;
    else if (r.right >= u.right && r.left < u.right) u.right = r.left;
  }
  w->update = Empty(u) ? RECT{} : u;
  if (Empty(u)) w->erase = false;
  return TRUE;
}

BOOL GetUpdateRect(HWND h, RECT* rect, BOOL erase) {
  Window* w = Find(h);
  if (w == nullptr) return FALSE;
  RECT u = w->update;
  if (rect != nullptr) *rect = u;
  if (Empty(u)) return FALSE;
  if (erase && w->erase) {
    w->erase = false;
    RECT origin = ClientOnScreen(*w);
    RECT clip = Intersect(Offset(u, origin.left, origin.top), VisiblePart(*w, true));
    HDC dc = CreateScreenDC(origin, &clip);
    Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    DeleteDC(dc);
  }
  return TRUE;
}

HDC BeginPaint(HWND h, PAINTSTRUCT* paint) {
  Window* w = Find(h);
  if (w == nullptr || paint == nullptr) return nullptr;
  if (w->frameDirty) PaintFrame(h);
  if ((w = Find(h)) == nullptr) return nullptr;
  ++w->beginPaints;
  RECT u = w->update;
  bool erase = w->erase;
  w->update = {};
  w->erase = false;
  RECT origin = ClientOnScreen(*w);
  RECT clip = Intersect(Offset(u, origin.left, origin.top), VisiblePart(*w, true));
  HDC dc = CreateScreenDC(origin, &clip);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->rcPaint = u;
  paint->fErase = erase ? TRUE : FALSE;
  DrewOn(h, clip, true);
  if (erase && !Empty(clip)) paint->fErase = Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
  if (paint == nullptr || paint->hdc == nullptr) return FALSE;
  DeleteDC(paint->hdc);
  return TRUE;
}
