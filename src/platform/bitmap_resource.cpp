#include "platform/bitmap_resource.h"

#include <cstring>

namespace {

constexpr char kMagic[4] = {'L', 'M', 'B', 'M'};
constexpr size_t kHeader = 12;
constexpr int kMaxSide = 4096;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put16(std::vector<uint8_t>* out, int v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

bool ValidShape(int width, int height, int bits, std::string* error) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    *error = "bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
             " is outside 1 to 4096";
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8) {
    *error = "bitmap has " + std::to_string(bits) + " bits per pixel, not 1, 4 or 8";
    return false;
  }
  return true;
}

size_t RowBytes(int width, int bits) { return (static_cast<size_t>(width) * bits + 7) / 8; }

}  // namespace

bool EncodeBitmapResource(const IndexedBitmap& b, std::vector<uint8_t>* out, std::string* error) {
  if (!ValidShape(b.width, b.height, b.bitsPixel, error)) return false;
  size_t colours = size_t{1} << b.bitsPixel;
  if (b.palette.size() > colours) {
    *error = "bitmap palette has " + std::to_string(b.palette.size()) + " colours, more than " +
             std::to_string(colours);
    return false;
  }
  if (b.indices.size() != static_cast<size_t>(b.width) * b.height) {
    *error = "bitmap has " + std::to_string(b.indices.size()) + " pixels, not width x height";
    return false;
  }
  out->assign(kMagic, kMagic + 4);
  Put16(out, b.width);
  Put16(out, b.height);
  Put16(out, b.bitsPixel);
  Put16(out, 0);
  for (size_t i = 0; i < colours; ++i) {
    uint32_t c = i < b.palette.size() ? b.palette[i] : 0;
    out->push_back(static_cast<uint8_t>(c >> 16));
    out->push_back(static_cast<uint8_t>(c >> 8));
    out->push_back(static_cast<uint8_t>(c));
  }
  size_t rowBytes = RowBytes(b.width, b.bitsPixel);
  for (int y = 0; y < b.height; ++y) {
    size_t row = out->size();
    out->resize(row + rowBytes, 0);
    for (int x = 0; x < b.width; ++x) {
      uint8_t index = b.indices[static_cast<size_t>(y) * b.width + x];
      if (index >= colours) {
        *error = "bitmap pixel " + std::to_string(x) + "," + std::to_string(y) + " has index " +
                 std::to_string(index) + ", outside the palette";
        return false;
      }
      size_t bit = static_cast<size_t>(x) * b.bitsPixel;
      (*out)[row + bit / 8] |= static_cast<uint8_t>(index << (8 - b.bitsPixel - bit % 8));
    }
  }
  return true;
}

bool DecodeBitmapResource(const uint8_t* data, size_t size, IndexedBitmap* b, std::string* error) {
  if (data == nullptr || size < kHeader || std::memcmp(data, kMagic, 4) != 0) {
    *error = "not a bitmap resource";
    return false;
  }
  int width = Get16(data + 4), height = Get16(data + 6), bits = Get16(data + 8);
  if (!ValidShape(width, height, bits, error)) return false;
  size_t colours = size_t{1} << bits;
  size_t rowBytes = RowBytes(width, bits);
  if (size != kHeader + 3 * colours + rowBytes * height) {
    *error = "bitmap resource is " + std::to_string(size) + " bytes, not " +
             std::to_string(kHeader + 3 * colours + rowBytes * height);
    return false;
  }
  b->width = width;
  b->height = height;
  b->bitsPixel = bits;
  b->palette.resize(colours);
  const uint8_t* p = data + kHeader;
  for (size_t i = 0; i < colours; ++i, p += 3)
    b->palette[i] = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
  b->indices.resize(static_cast<size_t>(width) * height);
  unsigned mask = (1u << bits) - 1;
  for (int y = 0; y < height; ++y, p += rowBytes) {
    for (int x = 0; x < width; ++x) {
      size_t bit = static_cast<size_t>(x) * bits;
      b->indices[static_cast<size_t>(y) * width + x] =
          static_cast<uint8_t>(p[bit / 8] >> (8 - bits - bit % 8) & mask);
    }
  }
  return true;
}
