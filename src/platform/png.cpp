#include "platform/png.h"

#include <png.h>

#include <cstring>

#include "platform/gdi_internal.h"
#include "platform/screen.h"
#include "platform/testing.h"

namespace {

bool Write(const gdi::Target& t, const std::string& path, std::string* error) {
  const gdi::Box& b = t.clip;
  if (b.Empty()) {
    *error = "nothing to save: the surface is empty";
    return false;
  }
  size_t width = static_cast<size_t>(b.right - b.left), height = static_cast<size_t>(b.bottom - b.top);
  std::vector<uint8_t> rgb(width * height * 3);
  uint8_t* out = rgb.data();
  for (int64_t y = b.top; y < b.bottom; ++y) {
    for (int64_t x = b.left; x < b.right; ++x) {
      uint32_t p = t.At(x, y);
      *out++ = static_cast<uint8_t>(p >> 16);
      *out++ = static_cast<uint8_t>(p >> 8);
      *out++ = static_cast<uint8_t>(p);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
    *error = path + ": " + image.message;
    return false;
  }
  return true;
}

}  // namespace

bool SavePng(HBITMAP bitmap, const std::string& path, std::string* error) {
  gdi::Object* o = gdi::FindObject(bitmap);
  if (o == nullptr || o->kind != gdi::Kind::Bitmap) {
    *error = "not a bitmap";
    return false;
  }
  gdi::Target t;
  t.pixels = o->bitmap.pixels.data();
  t.stride = o->bitmap.width;
  t.clip = {0, 0, o->bitmap.width, o->bitmap.height};
  return Write(t, path, error);
}

bool SavePng(HDC dc, const std::string& path, std::string* error) {
  gdi::DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr) {
    *error = "not a device context";
    return false;
  }
  gdi::Target t;
  gdi::Resolve(*d, &t);
  return Write(t, path, error);
}

bool TestSaveScreen(const std::string& path, std::string* error) {
  HDC screen = GetDC(nullptr);
  bool saved = SavePng(screen, path, error);
  ReleaseDC(nullptr, screen);
  return saved;
}
