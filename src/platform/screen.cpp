// The framebuffer and the contexts that draw into it.
#include "platform/screen.h"

#include "platform/gdi_internal.h"
#include "platform/testing.h"

namespace {

struct Screen {
  gdi::PixelBuffer buffer;
  uint64_t changes = 0;
  WindowAreaProc windowArea = nullptr;
};

Screen& TheScreen() {
  static Screen* screen = [] {
    auto* s = new Screen;
    s->buffer.width = 240;
    s->buffer.height = 320;
    s->buffer.pixels.assign(240 * 320, 0xFFFFFF);
    return s;
  }();
  return *screen;
}

RECT Everything() { return {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}; }

}  // namespace

int ScreenWidth() { return TheScreen().buffer.width; }
int ScreenHeight() { return TheScreen().buffer.height; }
uint32_t* ScreenPixels() { return TheScreen().buffer.pixels.data(); }
uint64_t ScreenChanges() { return TheScreen().changes; }

bool ScreenResize(int width, int height) {
  if (width < 1 || height < 1 || width > 8192 || height > 8192) return false;
  gdi::PixelBuffer& b = TheScreen().buffer;
  b.width = width;
  b.height = height;
  b.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFFFFFF);
  ++TheScreen().changes;
  return true;
}

HDC CreateScreenDC(const RECT& area, const RECT* clip) {
  auto dc = std::make_unique<gdi::DeviceContext>();
  dc->area = area;
  dc->clip = clip != nullptr ? *clip : Everything();
  return gdi::AddDC(std::move(dc));
}

BOOL SetScreenDCArea(HDC dc, const RECT& area, const RECT* clip) {
  gdi::DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr || d->memory) return FALSE;
  d->area = area;
  d->clip = clip != nullptr ? *clip : Everything();
  return TRUE;
}

void SetWindowAreaProc(WindowAreaProc proc) { TheScreen().windowArea = proc; }

HDC GetDC(HWND window) {
  RECT area{0, 0, ScreenWidth(), ScreenHeight()};
  RECT clip = Everything();
  if (window != nullptr) {
    WindowAreaProc proc = TheScreen().windowArea;
    if (proc == nullptr || !proc(window, &area, &clip)) return nullptr;
  }
  HDC dc = CreateScreenDC(area, &clip);
  if (gdi::DeviceContext* d = gdi::FindDC(dc)) d->window = window;
  return dc;
}

int ReleaseDC(HWND, HDC dc) {
  gdi::DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr || d->memory) return 0;
  return DeleteDC(dc) ? 1 : 0;
}

namespace gdi {

bool ResolveScreen(const DeviceContext& dc, Target* target) {
  Screen& s = TheScreen();
  Box bounds{0, 0, s.buffer.width, s.buffer.height};
  // A window's context follows its window as it moves, is covered or goes.
  RECT area = dc.area, clip = dc.clip;
  if (dc.window != nullptr && (s.windowArea == nullptr || !s.windowArea(dc.window, &area, &clip))) return false;
  target->pixels = s.buffer.pixels.data();
  target->stride = s.buffer.width;
  target->originX = area.left;
  target->originY = area.top;
  target->clip = Intersect(Intersect(bounds, BoxOf(area)), BoxOf(clip));
  ++s.changes;
  return !target->clip.Empty();
}

}  // namespace gdi

COLORREF TestScreenPixel(int x, int y) {
  const gdi::PixelBuffer& b = TheScreen().buffer;
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) return CLR_INVALID;
  return gdi::ToColour(b.pixels[static_cast<size_t>(y) * b.width + x]);
}

int TestScreenWidth() { return ScreenWidth(); }
int TestScreenHeight() { return ScreenHeight(); }
