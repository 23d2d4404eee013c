// Bitmap resources (type 2, RT_BITMAP) as the resource pack stores them.
// Written by the build tools, read by LoadBitmapW.
//
//   offset 0   "LMBM"                      magic
//          4   u16 width, u16 height       1 to 4096 each
//          8   u16 bits per pixel          1, 4 or 8
//         10   u16 0                       reserved
//         12   palette: 2^bits entries of three bytes, red, green, blue
//          …   rows top to bottom, each ceil(width × bits / 8) bytes, the
//              leftmost pixel in the highest bits of its byte, unused low
//              bits of a row's last byte zero
//
// All numbers little-endian; nothing may follow the last row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IndexedBitmap {
  int width = 0;
  int height = 0;
  int bitsPixel = 1;
  std::vector<uint32_t> palette;  // 0x00RRGGBB; fewer than 2^bits entries are padded with black
  std::vector<uint8_t> indices;   // one palette index a pixel, rows top to bottom
};

bool EncodeBitmapResource(const IndexedBitmap& bitmap, std::vector<uint8_t>* out,
                          std::string* error);
bool DecodeBitmapResource(const uint8_t* data, size_t size, IndexedBitmap* bitmap,
                          std::string* error);
