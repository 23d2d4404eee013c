// The drawing records behind the gdi.h handles, shared by the files that
// implement them. Not part of the app's interface.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi.h"

namespace gdi {

// Pixels in every buffer are 0x00RRGGBB, rows top to bottom.
inline uint32_t ToPixel(COLORREF c) {
  return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
inline COLORREF ToColour(uint32_t p) { return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16; }

// A rectangle in 64 bits, so that any 32-bit coordinate plus an origin fits;
// right and bottom exclusive.
struct Box {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
};
Box Intersect(const Box& a, const Box& b);
Box BoxOf(const RECT& r);

struct PixelBuffer {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Where a device context's drawing lands for one call: the pixels, the device
// position of its logical origin, and the clip in device coordinates, always
// inside the buffer.
struct Target {
  uint32_t* pixels = nullptr;
  int64_t stride = 0;
  int64_t originX = 0;
  int64_t originY = 0;
  Box clip;

  uint32_t& At(int64_t x, int64_t y) const { return pixels[y * stride + x]; }
  Box ToDevice(Box b) const {
    return {b.left + originX, b.top + originY, b.right + originX, b.bottom + originY};
  }
};

void Fill(const Target& target, const Box& device, uint32_t pixel);
// Blends coverage 0..255 of the colour onto one pixel.
inline void Blend(uint32_t& pixel, uint32_t colour, unsigned coverage) {
  if (coverage >= 255) {
    pixel = colour;
    return;
  }
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int d = static_cast<int>(pixel >> shift & 0xFF);
    int c = static_cast<int>(colour >> shift & 0xFF);
    int v = d + ((c - d) * static_cast<int>(coverage) + (c >= d ? 127 : -127)) / 255;
    out |= static_cast<uint32_t>(v) << shift;
  }
  pixel = out;
}

class FontInstance;

enum class Kind : uint8_t { Pen = OBJ_PEN, Brush = OBJ_BRUSH, Font = OBJ_FONT, Bitmap = OBJ_BITMAP };

struct Object {
  Kind kind = Kind::Pen;
  bool stock = false;
  bool deleted = false;  // deleted while selected: freed when the last DC lets go
  int selections = 0;    // DCs that hold it
  // Pens and brushes.
  int style = PS_SOLID;  // PS_NULL or BS_NULL draws nothing
  int width = 0;
  COLORREF colour = 0;
  // Bitmaps.
  PixelBuffer bitmap;
  int bitsPixel = 32;
  // Fonts: the description as chosen; the instance is opened on first use.
  LOGFONTW logfont{};
  std::shared_ptr<FontInstance> font;
};

struct DeviceContext {
  bool memory = false;
  HWND window = nullptr;  // GetDC(window) gave it
  // Screen contexts: the area whose top-left is the origin, and the clip,
  // both in screen coordinates.
  RECT area{};
  RECT clip{};
  Object* pen = nullptr;
  Object* brush = nullptr;
  Object* font = nullptr;
  Object* bitmap = nullptr;  // memory contexts only
  COLORREF textColour = 0;
  COLORREF bkColour = 0xFFFFFF;
  int bkMode = OPAQUE;
  POINT position{};
};

DeviceContext* FindDC(HDC dc);
Object* FindObject(HGDIOBJ handle);  // a live object not yet deleted, or nothing
HGDIOBJ HandleOf(const Object* object);
HGDIOBJ AddObject(std::unique_ptr<Object> object);
HDC AddDC(std::unique_ptr<DeviceContext> dc);  // with the default objects selected

// The context's target for this call; false when it draws nowhere.
bool Resolve(const DeviceContext& dc, Target* target);
bool ResolveScreen(const DeviceContext& dc, Target* target);
// The font instance of the context's font, opened on first use; never null.
FontInstance& FontOf(DeviceContext& dc);
FontInstance& InstanceOf(Object& font);

}  // namespace gdi
