// Drawing objects and device contexts. Handles are numbers looked up in a
// table, never addresses: a stale or foreign handle is simply not found.
#include <algorithm>
#include <cstring>
#include <utility>
#include <unordered_map>

#include "platform/bitmap_resource.h"
#include "platform/font.h"
#include "platform/gdi_internal.h"
#include "platform/resource.h"
#include "platform/screen.h"

namespace gdi {
namespace {

constexpr int kStockCount = SYSTEM_FONT + 1;
// Larger bitmaps are refused rather than risk running the process out of memory.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

struct Table {
  std::unordered_map<uintptr_t, std::unique_ptr<Object>> objects;
  std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>> dcs;
  std::unordered_map<const Object*, uintptr_t> handles;
  uintptr_t next = 0x10000;
  Object* stock[kStockCount] = {};
  Object* defaultBitmap = nullptr;
};

Object* MakeStock(Kind kind, int style, COLORREF colour) {
  auto o = std::make_unique<Object>();
  o->kind = kind;
  o->stock = true;
  o->style = style;
  o->colour = colour;
  Object* raw = o.get();
  AddObject(std::move(o));
  return raw;
}

// Never destroyed: fonts in the table hold FreeType faces, and nothing may
// outlive the library at exit.
Table& TheTable() {
  static Table* table = new Table;
  return *table;
}

void MakeStockObjects() {
  Table& t = TheTable();
  if (t.defaultBitmap != nullptr) return;
  t.stock[WHITE_BRUSH] = MakeStock(Kind::Brush, BS_SOLID, RGB(255, 255, 255));
  t.stock[LTGRAY_BRUSH] = MakeStock(Kind::Brush, BS_SOLID, RGB(192, 192, 192));
  t.stock[GRAY_BRUSH] = MakeStock(Kind::Brush, BS_SOLID, RGB(128, 128, 128));
  t.stock[DKGRAY_BRUSH] = MakeStock(Kind::Brush, BS_SOLID, RGB(64, 64, 64));
  t.stock[BLACK_BRUSH] = MakeStock(Kind::Brush, BS_SOLID, RGB(0, 0, 0));
  t.stock[NULL_BRUSH] = MakeStock(Kind::Brush, BS_NULL, 0);
  t.stock[WHITE_PEN] = MakeStock(Kind::Pen, PS_SOLID, RGB(255, 255, 255));
  t.stock[BLACK_PEN] = MakeStock(Kind::Pen, PS_SOLID, RGB(0, 0, 0));
  t.stock[NULL_PEN] = MakeStock(Kind::Pen, PS_NULL, 0);
  Object* font = MakeStock(Kind::Font, 0, 0);
  font->logfont.lfWeight = FW_NORMAL;
  t.stock[SYSTEM_FONT] = font;
  // A fresh memory context holds a one-pixel, one-bit bitmap, black.
  Object* bitmap = MakeStock(Kind::Bitmap, 0, 0);
  bitmap->bitmap.width = bitmap->bitmap.height = 1;
  bitmap->bitmap.pixels.assign(1, 0);
  bitmap->bitsPixel = 1;
  t.defaultBitmap = bitmap;
}

Table& Objects() {
  MakeStockObjects();
  return TheTable();
}

void Free(Object* o) {
  Table& t = TheTable();
  auto h = t.handles.find(o);
  if (h == t.handles.end()) return;
  uintptr_t handle = h->second;
  t.handles.erase(h);
  t.objects.erase(handle);
}

void Hold(Object* o) { ++o->selections; }
void LetGo(Object* o) {
  if (o == nullptr) return;
  --o->selections;
  if (o->deleted && o->selections == 0) Free(o);
}

Object*& SlotOf(DeviceContext& dc, Kind kind) {
  switch (kind) {
    case Kind::Pen: return dc.pen;
    case Kind::Brush: return dc.brush;
    case Kind::Font: return dc.font;
    case Kind::Bitmap: break;
  }
  return dc.bitmap;
}

HBITMAP AddBitmap(int width, int height, int bitsPixel, std::vector<uint32_t> pixels) {
  auto o = std::make_unique<Object>();
  o->kind = Kind::Bitmap;
  o->bitmap.width = width;
  o->bitmap.height = height;
  o->bitmap.pixels = std::move(pixels);
  o->bitsPixel = bitsPixel;
  return AddObject(std::move(o));
}

// Bytes a row as the platform reports them: whole 16-bit words.
LONG WidthBytes(int width, int bitsPixel) {
  return static_cast<LONG>((static_cast<int64_t>(width) * bitsPixel + 15) / 16 * 2);
}

int CopyOut(const void* record, int recordSize, int size, void* out) {
  if (out == nullptr) return recordSize;
  if (size <= 0) return 0;
  int n = std::min(size, recordSize);
  std::memcpy(out, record, static_cast<size_t>(n));
  return n;
}

}  // namespace

Box Intersect(const Box& a, const Box& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

Box BoxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void Fill(const Target& target, const Box& device, uint32_t pixel) {
  Box b = Intersect(device, target.clip);
  if (b.Empty()) return;
  for (int64_t y = b.top; y < b.bottom; ++y) {
    uint32_t* row = &target.At(b.left, y);
    std::fill(row, row + (b.right - b.left), pixel);
  }
}

HGDIOBJ AddObject(std::unique_ptr<Object> object) {
  Table& t = TheTable();
  uintptr_t handle = t.next;
  t.next += 0x10;
  t.handles[object.get()] = handle;
  t.objects[handle] = std::move(object);
  return reinterpret_cast<HGDIOBJ>(handle);
}

HGDIOBJ HandleOf(const Object* object) {
  if (object == nullptr) return nullptr;
  Table& t = TheTable();
  auto it = t.handles.find(object);
  return it == t.handles.end() ? nullptr : reinterpret_cast<HGDIOBJ>(it->second);
}

Object* FindObject(HGDIOBJ handle) {
  Table& t = Objects();
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end() || it->second->deleted) return nullptr;
  return it->second.get();
}

DeviceContext* FindDC(HDC dc) {
  Table& t = Objects();
  auto it = t.dcs.find(reinterpret_cast<uintptr_t>(dc));
  return it == t.dcs.end() ? nullptr : it->second.get();
}

HDC AddDC(std::unique_ptr<DeviceContext> dc) {
  Table& t = Objects();
  dc->pen = t.stock[BLACK_PEN];
  dc->brush = t.stock[WHITE_BRUSH];
  dc->font = t.stock[SYSTEM_FONT];
  dc->bitmap = dc->memory ? t.defaultBitmap : nullptr;
  for (Object* o : {dc->pen, dc->brush, dc->font, dc->bitmap})
    if (o != nullptr) Hold(o);
  uintptr_t handle = t.next;
  t.next += 0x10;
  t.dcs[handle] = std::move(dc);
  return reinterpret_cast<HDC>(handle);
}

bool Resolve(const DeviceContext& dc, Target* target) {
  if (!dc.memory) return ResolveScreen(dc, target);
  PixelBuffer& b = dc.bitmap->bitmap;
  target->pixels = b.pixels.data();
  target->stride = b.width;
  target->originX = target->originY = 0;
  target->clip = {0, 0, b.width, b.height};
  return !target->clip.Empty();
}

FontInstance& InstanceOf(Object& font) {
  if (!font.font) font.font = OpenFont(font.logfont, &font.logfont);
  return *font.font;
}

FontInstance& FontOf(DeviceContext& dc) { return InstanceOf(*dc.font); }

}  // namespace gdi

using gdi::DeviceContext;
using gdi::Kind;
using gdi::Object;

HDC CreateCompatibleDC(HDC dc) {
  if (dc != nullptr && gdi::FindDC(dc) == nullptr) return nullptr;
  auto memory = std::make_unique<DeviceContext>();
  memory->memory = true;
  return gdi::AddDC(std::move(memory));
}

BOOL DeleteDC(HDC dc) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr) return FALSE;
  for (Object* o : {d->pen, d->brush, d->font, d->bitmap}) gdi::LetGo(o);
  gdi::TheTable().dcs.erase(reinterpret_cast<uintptr_t>(dc));
  return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
  if (gdi::FindDC(dc) == nullptr) return 0;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return ScreenWidth();
    case VERTRES: return ScreenHeight();
    default: return 0;
  }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* d = gdi::FindDC(dc);
  Object* o = gdi::FindObject(object);
  if (d == nullptr || o == nullptr) return nullptr;
  if (o->kind == Kind::Bitmap) {
    if (!d->memory) return nullptr;
    // A bitmap is in one context at a time; the stock one may be in many.
    if (o != d->bitmap && !o->stock && o->selections > 0) return nullptr;
  }
  Object*& slot = gdi::SlotOf(*d, o->kind);
  Object* previous = slot;
  HGDIOBJ result = gdi::HandleOf(previous);
  gdi::Hold(o);
  slot = o;
  gdi::LetGo(previous);
  return result;
}

BOOL DeleteObject(HGDIOBJ object) {
  Object* o = gdi::FindObject(object);
  if (o == nullptr) return FALSE;
  if (o->stock) return TRUE;
  if (o->selections > 0) o->deleted = true;
  else gdi::Free(o);
  return TRUE;
}

HGDIOBJ GetStockObject(int which) {
  if (which < 0 || which >= gdi::kStockCount) return nullptr;
  return gdi::HandleOf(gdi::Objects().stock[which]);
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  if (style != PS_SOLID && style != PS_NULL) return nullptr;
  auto o = std::make_unique<Object>();
  o->kind = Kind::Pen;
  o->style = style;
  o->width = std::max(width, 0);
  o->colour = colour & 0xFFFFFF;
  return gdi::AddObject(std::move(o));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  auto o = std::make_unique<Object>();
  o->kind = Kind::Brush;
  o->style = BS_SOLID;
  o->colour = colour & 0xFFFFFF;
  return gdi::AddObject(std::move(o));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (gdi::FindDC(dc) == nullptr || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return gdi::AddBitmap(1, 1, 1, std::vector<uint32_t>(1, 0));
  if (static_cast<int64_t>(width) * height > gdi::kMaxBitmapPixels) return nullptr;
  return gdi::AddBitmap(width, height, 32,
                        std::vector<uint32_t>(static_cast<size_t>(width) * height, 0));
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  HRSRC found = FindResourceW(instance, name, RT_BITMAP);
  if (found == nullptr) return nullptr;
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(instance, found)));
  IndexedBitmap decoded;
  std::string error;
  if (!DecodeBitmapResource(bytes, SizeofResource(instance, found), &decoded, &error)) return nullptr;
  std::vector<uint32_t> pixels(decoded.indices.size());
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = decoded.palette[decoded.indices[i]];
  return gdi::AddBitmap(decoded.width, decoded.height, decoded.bitsPixel, std::move(pixels));
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
  Object* o = gdi::FindObject(object);
  if (o == nullptr) return 0;
  switch (o->kind) {
    case Kind::Pen: {
      LOGPEN pen{static_cast<UINT>(o->style), {o->width, 0}, o->colour};
      return gdi::CopyOut(&pen, sizeof pen, size, out);
    }
    case Kind::Brush: {
      LOGBRUSH brush{static_cast<UINT>(o->style), o->colour, 0};
      return gdi::CopyOut(&brush, sizeof brush, size, out);
    }
    case Kind::Font: {
      gdi::InstanceOf(*o);  // the stock font learns its face
      return gdi::CopyOut(&o->logfont, sizeof o->logfont, size, out);
    }
    case Kind::Bitmap: {
      BITMAP b{0,
               o->bitmap.width,
               o->bitmap.height,
               gdi::WidthBytes(o->bitmap.width, o->bitsPixel),
               1,
               static_cast<WORD>(o->bitsPixel),
               nullptr};
      return gdi::CopyOut(&b, sizeof b, size, out);
    }
  }
  return 0;
}

DWORD GetObjectType(HGDIOBJ object) {
  Object* o = gdi::FindObject(object);
  return o == nullptr ? 0 : static_cast<DWORD>(o->kind);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT kind) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr) return nullptr;
  switch (kind) {
    case OBJ_PEN: return gdi::HandleOf(d->pen);
    case OBJ_BRUSH: return gdi::HandleOf(d->brush);
    case OBJ_FONT: return gdi::HandleOf(d->font);
    case OBJ_BITMAP: return gdi::HandleOf(d->bitmap);
    default: return nullptr;
  }
}

namespace {

// The state calls: each sets or reads one field of the context, and answers
// `failed` for what is not a context.
template <class T>
T SetState(HDC dc, T DeviceContext::*field, T value, T failed) {
  DeviceContext* d = gdi::FindDC(dc);
  return d == nullptr ? failed : std::exchange(d->*field, value);
}

template <class T>
T GetState(HDC dc, T DeviceContext::*field, T failed) {
  DeviceContext* d = gdi::FindDC(dc);
  return d == nullptr ? failed : d->*field;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF colour) {
  return SetState(dc, &DeviceContext::textColour, colour & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) { return GetState(dc, &DeviceContext::textColour, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF colour) {
  return SetState(dc, &DeviceContext::bkColour, colour & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetBkColor(HDC dc) { return GetState(dc, &DeviceContext::bkColour, CLR_INVALID); }
int SetBkMode(HDC dc, int mode) {
  if (mode != OPAQUE && mode != TRANSPARENT) return 0;
  return SetState(dc, &DeviceContext::bkMode, mode, 0);
}
int GetBkMode(HDC dc) { return GetState(dc, &DeviceContext::bkMode, 0); }
