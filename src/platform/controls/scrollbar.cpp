// Vertical scroll bars: the SCROLLBAR control and the bar of a WS_VSCROLL
// window, drawn and tracked alike. There is no auto-repeat: a press on an
// arrow or a page area sends one step, then SB_ENDSCROLL on release.
#include <algorithm>

#include "platform/controls/internal.h"
#include "platform/window/shared.h"

namespace controls {
namespace {

int MaxPos(const SCROLLINFO& s) {
  int page = static_cast<int>(std::min<UINT>(s.nPage, 0x7FFFFFFF));
  return std::max(s.nMin, static_cast<int>(std::max<int64_t>(
                              s.nMin, int64_t{s.nMax} - std::max(page - 1, 0))));
}

int64_t Scrollable(const SCROLLINFO& s) { return int64_t{MaxPos(s)} - s.nMin; }

}  // namespace

BarGeometry MeasureBar(const RECT& bar, const SCROLLINFO& info, int thumbTop) {
  BarGeometry g;
  int width = std::max<LONG>(0, bar.right - bar.left);
  int height = std::max<LONG>(0, bar.bottom - bar.top);
  int arrow = std::min(width, height / 2);
  g.up = {bar.left, bar.top, bar.right, bar.top + arrow};
  g.down = {bar.left, bar.bottom - arrow, bar.right, bar.bottom};
  g.track = {bar.left, g.up.bottom, bar.right, g.down.top};
  int trackLength = g.track.bottom - g.track.top;
  int64_t scrollable = Scrollable(info);
  g.active = scrollable > 0;
  if (!g.active || trackLength < 6) return g;
  int64_t range = int64_t{info.nMax} - info.nMin + 1;
  int64_t length = info.nPage > 0 ? trackLength * int64_t{info.nPage} / std::max<int64_t>(1, range)
                                  : width;
  length = std::clamp<int64_t>(length, std::min(8, trackLength), trackLength);
  int64_t room = trackLength - length;
  int64_t top;
  if (thumbTop >= 0) {
    top = std::clamp<int64_t>(thumbTop, g.track.top, g.track.top + room);
  } else {
    int64_t pos = std::clamp<int64_t>(info.nPos, info.nMin, MaxPos(info)) - info.nMin;
    top = g.track.top + (room * pos + scrollable / 2) / scrollable;
  }
  g.thumb = {bar.left, static_cast<LONG>(top), bar.right, static_cast<LONG>(top + length)};
  g.thumbShown = true;
  return g;
}

int ThumbPositionAt(const RECT& bar, const SCROLLINFO& info, int thumbTop) {
  BarGeometry g = MeasureBar(bar, info, thumbTop);
  if (!g.thumbShown) return info.nPos;
  int64_t room = (g.track.bottom - g.track.top) - (g.thumb.bottom - g.thumb.top);
  if (room <= 0) return info.nMin;
  int64_t offset = g.thumb.top - g.track.top;
  return static_cast<int>(info.nMin + (offset * Scrollable(info) + room / 2) / room);
}

static bool Inside(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

Part HitBar(const BarGeometry& g, POINT p) {
  if (!g.active) return Part::None;
  if (Inside(g.up, p)) return Part::LineUp;
  if (Inside(g.down, p)) return Part::LineDown;
  if (!g.thumbShown) return Part::None;
  if (Inside(g.thumb, p)) return Part::Thumb;
  if (!Inside(g.track, p)) return Part::None;
  return p.y < g.thumb.top ? Part::PageUp : Part::PageDown;
}

void DrawBar(HDC dc, const RECT& bar, const SCROLLINFO& info, Part pressed, int thumbTop) {
  if (bar.right <= bar.left || bar.bottom <= bar.top) return;
  BarGeometry g = MeasureBar(bar, info, thumbTop);
  FillColour(dc, g.track, kTrack);
  if (g.thumbShown && (pressed == Part::PageUp || pressed == Part::PageDown)) {
    RECT area = g.track;
    if (pressed == Part::PageUp) area.bottom = g.thumb.top;
    else area.top = g.thumb.bottom;
    FillColour(dc, area, kTrackPressed);
  }
  auto button = [&](const RECT& r, bool up, bool down) {
    FillColour(dc, r, down ? kHighlight : kButtonFace);
    Frame(dc, r, kFrame);
    RECT inside{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    Arrow(dc, inside, up, down ? kHighlightText : g.active ? kText : kGrayText);
  };
  button(g.up, true, pressed == Part::LineUp);
  button(g.down, false, pressed == Part::LineDown);
  Frame(dc, bar, kFrame);
  if (g.thumbShown) {
    FillColour(dc, g.thumb, pressed == Part::Thumb ? kHighlight : kThumb);
    Frame(dc, g.thumb, kFrame);
  }
}

bool BarPress(BarTrack* t, const RECT& bar, const SCROLLINFO& info, POINT p,
              void (*send)(void*, int, int), void* context) {
  BarGeometry g = MeasureBar(bar, info);
  *t = BarTrack{};
  t->part = HitBar(g, p);
  t->pressedNow = t->part;
  t->trackPos = info.nPos;
  switch (t->part) {
    case Part::None: return false;
    case Part::LineUp: send(context, SB_LINEUP, 0); break;
    case Part::LineDown: send(context, SB_LINEDOWN, 0); break;
    case Part::PageUp: send(context, SB_PAGEUP, 0); break;
    case Part::PageDown: send(context, SB_PAGEDOWN, 0); break;
    case Part::Thumb:
      t->grabOffset = p.y - g.thumb.top;
      t->thumbTop = g.thumb.top;
      break;
  }
  return true;
}

void BarMove(BarTrack* t, const RECT& bar, const SCROLLINFO& info, POINT p,
             void (*send)(void*, int, int), void* context) {
  if (t->part == Part::None) return;
  if (t->part != Part::Thumb) {
    Part now = HitBar(MeasureBar(bar, info), p);
    t->pressedNow = now == t->part ? t->part : Part::None;
    return;
  }
  t->thumbTop = MeasureBar(bar, info, std::max(0, static_cast<int>(p.y) - t->grabOffset)).thumb.top;
  int pos = ThumbPositionAt(bar, info, t->thumbTop);
  if (pos == t->trackPos) return;
  t->trackPos = pos;
  send(context, SB_THUMBTRACK, pos);
}

void BarRelease(BarTrack* t, void (*send)(void*, int, int), void* context) {
  BarTrack done = *t;
  *t = BarTrack{};
  if (done.part == Part::None) return;
  if (done.part == Part::Thumb) send(context, SB_THUMBPOSITION, done.trackPos);
  send(context, SB_ENDSCROLL, 0);
}

namespace {

// The SCROLLBAR control.
struct Bar : Base {
  SCROLLINFO info{sizeof(SCROLLINFO), 0, 0, 100, 0, 0, 0};
  BarTrack track;
};

StateTable<Bar>& Bars() {
  static auto* table = new StateTable<Bar>;
  return *table;
}

RECT BarRect(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  int width = GetSystemMetrics(SM_CXVSCROLL);
  if (width <= 0) width = client.right;
  if (style & SBS_LEFTALIGN) client.right = std::min<LONG>(client.right, client.left + width);
  else if (style & SBS_RIGHTALIGN) client.left = std::max<LONG>(client.left, client.right - width);
  return client;
}

void SendToParent(void* context, int code, int pos) {
  HWND bar = static_cast<HWND>(context);
  HWND parent = GetParent(bar);
  if (parent == nullptr) return;
  SendMessageW(parent, WM_VSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(bar));
}

void Clamp(SCROLLINFO* s) {
  if (s->nMax < s->nMin) s->nMax = s->nMin;
  int64_t range = int64_t{s->nMax} - s->nMin + 1;
  if (s->nPage > range) s->nPage = static_cast<UINT>(range);
  s->nPos = std::clamp(s->nPos, s->nMin, MaxPos(*s));
}

int SetInfo(HWND window, Bar& bar, const SCROLLINFO* in, bool redraw) {
  if (in == nullptr) return bar.info.nPos;
  if (in->fMask & SIF_RANGE) {
    bar.info.nMin = in->nMin;
    bar.info.nMax = in->nMax;
  }
  if (in->fMask & SIF_PAGE) bar.info.nPage = in->nPage;
  if (in->fMask & SIF_POS) bar.info.nPos = in->nPos;
  Clamp(&bar.info);
  if (redraw) InvalidateRect(window, nullptr, TRUE);
  return bar.info.nPos;
}

void EndTrack(HWND window, const std::shared_ptr<Bar>& bar) {
  if (bar->track.part == Part::None) return;
  BarTrack done = bar->track;
  bar->track = BarTrack{};
  InvalidateRect(window, nullptr, TRUE);
  if (GetCapture() == window) ReleaseCapture();
  BarRelease(&done, SendToParent, window);
}

}  // namespace

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    Bars().Create(window);
    return 0;
  }
  std::shared_ptr<Bar> bar = Bars().Find(window);
  if (bar == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_DESTROY:
      Bars().Erase(window);
      return 0;
    case WM_PAINT: {
      Paint paint(window);
      RECT client{};
      GetClientRect(window, &client);
      FillColour(paint.dc(), client, kGround);
      DrawBar(paint.dc(), BarRect(window), bar->info, bar->track.pressedNow, bar->track.thumbTop);
      return 0;
    }
    case SBM_SETSCROLLINFO:
      return SetInfo(window, *bar, reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
    case SBM_GETSCROLLINFO: {
      auto* out = reinterpret_cast<SCROLLINFO*>(lParam);
      if (out == nullptr) return FALSE;
      if (out->fMask & SIF_RANGE) {
        out->nMin = bar->info.nMin;
        out->nMax = bar->info.nMax;
      }
      if (out->fMask & SIF_PAGE) out->nPage = bar->info.nPage;
      if (out->fMask & SIF_POS) out->nPos = bar->info.nPos;
      if (out->fMask & SIF_TRACKPOS)
        out->nTrackPos = bar->track.part == Part::Thumb ? bar->track.trackPos : bar->info.nPos;
      return TRUE;
    }
    case SBM_SETPOS: {
      int old = bar->info.nPos;
      SCROLLINFO in{sizeof in, SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
      SetInfo(window, *bar, &in, lParam != 0);
      return old;
    }
    case SBM_GETPOS: return bar->info.nPos;
    case SBM_SETRANGE: {
      SCROLLINFO in{sizeof in, SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
      SetInfo(window, *bar, &in, false);
      return bar->info.nPos;
    }
    case SBM_GETRANGE:
      if (wParam != 0) *reinterpret_cast<int*>(wParam) = bar->info.nMin;
      if (lParam != 0) *reinterpret_cast<int*>(lParam) = bar->info.nMax;
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(window) || bar->track.part != Part::None) return 0;
      if (!BarPress(&bar->track, BarRect(window), bar->info, p, SendToParent, window)) return 0;
      if (bar->dead) return 0;
      SetCapture(window);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_MOUSEMOVE:
      if (bar->track.part == Part::None) return 0;
      BarMove(&bar->track, BarRect(window), bar->info, p, SendToParent, window);
      if (!bar->dead) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      EndTrack(window, bar);
      return 0;
    default: {
      HFONT none = nullptr;
      return CommonMessage(window, message, wParam, lParam, &none);
    }
  }
}

namespace {

// The one window bar being tracked, which its painting follows.
struct WindowTrack {
  HWND window = nullptr;
  BarTrack track;
};
WindowTrack g_windowTrack;

void SendToWindow(void* context, int code, int pos) {
  SendMessageW(static_cast<HWND>(context), WM_VSCROLL, MAKEWPARAM(code, pos), 0);
}

SCROLLINFO WindowInfo(HWND window) {
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(window, SB_VERT, &info)) info = SCROLLINFO{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  return info;
}

void RedrawWindowBar(HWND window, const RECT& bar) {
  HDC dc = GetDC(nullptr);
  if (dc == nullptr) return;
  SCROLLINFO info = WindowInfo(window);
  PaintWindowScrollBar(window, dc, &bar, &info);
  ReleaseDC(nullptr, dc);
}

}  // namespace
}  // namespace controls

void PaintWindowScrollBar(HWND window, HDC dc, const RECT* bar, const SCROLLINFO* info) {
  using namespace controls;
  if (dc == nullptr || bar == nullptr || info == nullptr) return;
  bool tracked = window != nullptr && g_windowTrack.window == window;
  DrawBar(dc, *bar, *info, tracked ? g_windowTrack.track.pressedNow : Part::None,
          tracked ? g_windowTrack.track.thumbTop : -1);
}

void PressWindowScrollBar(HWND window, const RECT* barRect, POINT point) {
  using namespace controls;
  if (barRect == nullptr || !IsWindow(window) || g_windowTrack.window != nullptr) return;
  RECT bar = *barRect;
  g_windowTrack.window = window;
  BarTrack& t = g_windowTrack.track;
  if (!BarPress(&t, bar, WindowInfo(window), point, SendToWindow, window)) {
    g_windowTrack = WindowTrack{};
    return;
  }
  if (IsWindow(window)) {
    SetCapture(window);
    RedrawWindowBar(window, bar);
  }
  while (IsWindow(window) && GetCapture() == window) {
    MSG msg{};
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == window) {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ClientToScreen(window, &p);
      BarMove(&t, bar, WindowInfo(window), p, SendToWindow, window);
      if (IsWindow(window)) RedrawWindowBar(window, bar);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (IsWindow(window) && GetCapture() == window) ReleaseCapture();
  BarTrack done = t;
  g_windowTrack = WindowTrack{};
  if (IsWindow(window)) {
    BarRelease(&done, SendToWindow, window);
    if (IsWindow(window)) RedrawWindowBar(window, bar);
  }
}
