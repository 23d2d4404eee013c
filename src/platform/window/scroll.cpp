// Scroll information: a window's own vertical bar, which appears outside
// the client area while it has a range, and scroll bar controls, which get
// the request as a message.
#include <algorithm>

#include "platform/controls.h"
#include "platform/window/core.h"

using namespace win;

namespace {

// The platform's rules: the page fits the range, the position keeps a whole
// page inside it.
void Clamp(SCROLLINFO& s) {
  if (s.nMax < s.nMin) s.nMax = s.nMin;
  int64_t range = static_cast<int64_t>(s.nMax) - s.nMin + 1;
  if (s.nPage > range) s.nPage = static_cast<UINT>(range);
  int64_t last = static_cast<int64_t>(s.nMax) - std::max<int64_t>(static_cast<int64_t>(s.nPage) - 1, 0);
  s.nPos = static_cast<int>(std::clamp<int64_t>(s.nPos, s.nMin, std::max<int64_t>(last, s.nMin)));
}

}  // namespace

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (info == nullptr) return 0;
  if (bar == SB_CTL)
    return static_cast<int>(SendMessageW(window, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
  Window* w = Find(window);
  if (w == nullptr || bar != SB_VERT) return 0;
  SCROLLINFO& s = w->bar;
  if (info->fMask & SIF_RANGE) {
    s.nMin = info->nMin;
    s.nMax = info->nMax;
  }
  if (info->fMask & SIF_PAGE) s.nPage = info->nPage;
  if (info->fMask & SIF_POS) s.nPos = info->nPos;
  Clamp(s);
  s.nTrackPos = s.nPos;
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) w->barKeep = (info->fMask & SIF_DISABLENOSCROLL) != 0;
  bool shown = s.nMax > s.nMin || w->barKeep;
  int pos = s.nPos;
  if (shown == w->barShown) {
    if (redraw && shown) w->frameDirty = true;
    return pos;
  }
  w->barShown = shown;
  if (shown) w->style |= WS_VSCROLL;
  else w->style &= ~static_cast<DWORD>(WS_VSCROLL);
  InvalidateAll(*w, false);
  RECT c = ClientInWindow(*w);
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right - c.left, c.bottom - c.top));
  return pos;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  if (info == nullptr) return FALSE;
  if (bar == SB_CTL)
    return SendMessageW(window, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) != 0 ? TRUE : FALSE;
  Window* w = Find(window);
  if (w == nullptr || bar != SB_VERT) return FALSE;
  const SCROLLINFO& s = w->bar;
  if (info->fMask & SIF_RANGE) {
    info->nMin = s.nMin;
    info->nMax = s.nMax;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s.nPage;
  if (info->fMask & SIF_POS) info->nPos = s.nPos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.nTrackPos;
  return TRUE;
}
