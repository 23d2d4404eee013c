// Shapes, pixels, lines and blits. Every write is clipped to the target
// first, so no coordinate, however absurd, reaches outside a buffer, and the
// work is bounded by the clip, not by the coordinates.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gdi_internal.h"

using gdi::Box;
using gdi::DeviceContext;
using gdi::Target;

namespace {

bool Draws(const gdi::Object* o) { return o != nullptr && o->style == PS_SOLID; }

// Device pixels of a one-pixel line from (x0, y0) to (x1, y1), end excluded;
// only the steps inside the clip are visited.
void Line(const Target& t, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t pixel) {
  bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
  // Walk along the major axis: u is major, v minor.
  int64_t u0 = steep ? y0 : x0, v0 = steep ? x0 : y0;
  int64_t du = (steep ? y1 : x1) - u0, dv = (steep ? x1 : y1) - v0;
  int64_t steps = std::abs(du);
  if (steps == 0) return;
  int64_t su = du > 0 ? 1 : -1, sv = dv >= 0 ? 1 : -1;
  __int128 adv = dv >= 0 ? dv : -dv;
  int64_t lo = steep ? t.clip.top : t.clip.left, hi = steep ? t.clip.bottom : t.clip.right;
  // Steps i with u0 + su * i in [lo, hi).
  int64_t first = su > 0 ? lo - u0 : u0 - (hi - 1);
  int64_t last = su > 0 ? hi - 1 - u0 : u0 - lo;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, steps - 1);
  for (int64_t i = first; i <= last; ++i) {
    int64_t u = u0 + su * i;
    int64_t v = v0 + sv * static_cast<int64_t>((2 * i * adv + steps) / (2 * steps));
    int64_t x = steep ? v : u, y = steep ? u : v;
    if (x >= t.clip.left && x < t.clip.right && y >= t.clip.top && y < t.clip.bottom)
      t.At(x, y) = pixel;
  }
}

// A side of a stretch: the start and length in one direction, made positive,
// and whether that flipped it.
struct Span {
  int64_t start, length;
  bool flipped;
};
Span Normal(int64_t start, int64_t length) {
  if (length < 0) return {start + length, -length, true};
  return {start, length, false};
}

// For each destination step of a span, the source step it samples, or -1
// when that lies outside the readable source.
void MapSpan(const Span& dest, const Span& source, bool flip, int64_t destLo, int64_t destHi,
             int64_t sourceLo, int64_t sourceHi, std::vector<int64_t>* out) {
  out->clear();
  for (int64_t d = destLo; d < destHi; ++d) {
    int64_t i = d - dest.start;
    if (flip) i = dest.length - 1 - i;
    __int128 s = source.start +
                 static_cast<int64_t>((static_cast<__int128>(2 * i + 1) * source.length) /
                                      (2 * dest.length));
    out->push_back(s >= sourceLo && s < sourceHi ? static_cast<int64_t>(s) : -1);
  }
}

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  DeviceContext* d = gdi::FindDC(dc);
  gdi::Object* b = gdi::FindObject(brush);
  if (d == nullptr || rect == nullptr || b == nullptr || b->kind != gdi::Kind::Brush) return 0;
  Target t;
  if (Draws(b) && gdi::Resolve(*d, &t)) gdi::Fill(t, t.ToDevice(gdi::BoxOf(*rect)), gdi::ToPixel(b->colour));
  return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr) return FALSE;
  Box r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  Target t;
  if (r.Empty() || !gdi::Resolve(*d, &t)) return TRUE;
  r = t.ToDevice(r);
  bool pen = Draws(d->pen);
  if (Draws(d->brush)) {
    // Without a pen the platform fills one pixel less to the right and below.
    Box inside = pen ? Box{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                     : Box{r.left, r.top, r.right - 1, r.bottom - 1};
    gdi::Fill(t, inside, gdi::ToPixel(d->brush->colour));
  }
  if (pen) {
    uint32_t p = gdi::ToPixel(d->pen->colour);
    gdi::Fill(t, {r.left, r.top, r.right, r.top + 1}, p);
    gdi::Fill(t, {r.left, r.bottom - 1, r.right, r.bottom}, p);
    gdi::Fill(t, {r.left, r.top, r.left + 1, r.bottom}, p);
    gdi::Fill(t, {r.right - 1, r.top, r.right, r.bottom}, p);
  }
  return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  DeviceContext* d = gdi::FindDC(dc);
  Target t;
  if (d == nullptr || !gdi::Resolve(*d, &t)) return CLR_INVALID;
  Box p = t.ToDevice({x, y, int64_t{x} + 1, int64_t{y} + 1});
  if (gdi::Intersect(p, t.clip).Empty()) return CLR_INVALID;
  t.At(p.left, p.top) = gdi::ToPixel(colour);
  return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  DeviceContext* d = gdi::FindDC(dc);
  Target t;
  if (d == nullptr || !gdi::Resolve(*d, &t)) return CLR_INVALID;
  Box p = t.ToDevice({x, y, int64_t{x} + 1, int64_t{y} + 1});
  if (gdi::Intersect(p, t.clip).Empty()) return CLR_INVALID;
  return gdi::ToColour(t.At(p.left, p.top));
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr) return FALSE;
  if (previous != nullptr) *previous = d->position;
  d->position = {x, y};
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr) return FALSE;
  Target t;
  if (Draws(d->pen) && gdi::Resolve(*d, &t)) {
    Line(t, d->position.x + t.originX, d->position.y + t.originY, x + t.originX, y + t.originY,
         gdi::ToPixel(d->pen->colour));
  }
  d->position = {x, y};
  return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                int sourceWidth, int sourceHeight, DWORD rop) {
  DeviceContext* d = gdi::FindDC(dest);
  DeviceContext* s = gdi::FindDC(source);
  if (d == nullptr || s == nullptr || rop != SRCCOPY) return FALSE;
  Span dx = Normal(x, width), dy = Normal(y, height);
  Span srcX = Normal(sx, sourceWidth), srcY = Normal(sy, sourceHeight);
  if (dx.length == 0 || dy.length == 0 || srcX.length == 0 || srcY.length == 0) return TRUE;
  Target dt, st;
  if (!gdi::Resolve(*d, &dt) || !gdi::Resolve(*s, &st)) return TRUE;
  Box area = gdi::Intersect(
      dt.ToDevice({dx.start, dy.start, dx.start + dx.length, dy.start + dy.length}), dt.clip);
  if (area.Empty()) return TRUE;
  // Sample in logical coordinates of both contexts, then move to device ones.
  std::vector<int64_t> columns, rows;
  MapSpan(dx, srcX, dx.flipped != srcX.flipped, area.left - dt.originX, area.right - dt.originX,
          st.clip.left - st.originX, st.clip.right - st.originX, &columns);
  MapSpan(dy, srcY, dy.flipped != srcY.flipped, area.top - dt.originY, area.bottom - dt.originY,
          st.clip.top - st.originY, st.clip.bottom - st.originY, &rows);
  // Gather first: source and destination may be the same pixels.
  int64_t w = area.right - area.left, h = area.bottom - area.top;
  std::vector<uint32_t> copy(static_cast<size_t>(w * h));
  for (int64_t j = 0; j < h; ++j) {
    for (int64_t i = 0; i < w; ++i) {
      uint32_t& out = copy[static_cast<size_t>(j * w + i)];
      if (rows[j] < 0 || columns[i] < 0) out = dt.At(area.left + i, area.top + j);
      else out = st.At(columns[i] + st.originX, rows[j] + st.originY);
    }
  }
  for (int64_t j = 0; j < h; ++j)
    std::copy_n(&copy[static_cast<size_t>(j * w)], w, &dt.At(area.left, area.top + j));
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}
