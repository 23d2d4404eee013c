// Accelerator tables (type 9, RT_ACCELERATOR), strings (type 6, RT_STRING)
// and icons (type 3, RT_ICON) as the resource pack stores them. Written by
// the build tools and tests, read by LoadAcceleratorsW, LoadStringW and
// LoadIconW.
//
// Accelerator table:
//   offset 0   "LMAC"                      magic
//          4   u16 count                   1 to kAcceleratorMaxEntries
//          6   count entries of six bytes:
//                u16 flags   FVIRTKEY, FSHIFT, FCONTROL, FALT; no other bit
//                u16 key     a virtual key with FVIRTKEY, else a character
//                u16 command
//
// String: resource id = string id; the bytes are the UTF-16 text, no
//   terminator (an empty string has no bytes), at most kStringMaxLength units.
//
// Icon:
//   offset 0   "LMIC"                      magic
//          4   u16 width, u16 height       1 to kIconMaxSide each
//          8   width × height pixels, rows top to bottom, each u32
//              0xAARRGGBB: alpha 0 is transparent, 255 opaque, between blends
//
// All numbers little-endian; nothing may follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kAcceleratorMaxEntries = 1024;
constexpr int kStringMaxLength = 32767;
constexpr int kIconMaxSide = 256;

struct AcceleratorEntry {
  uint16_t flags = 0;
  uint16_t key = 0;
  uint16_t command = 0;
};

bool EncodeAcceleratorTable(const std::vector<AcceleratorEntry>& entries, std::vector<uint8_t>* out,
                            std::string* error);
bool DecodeAcceleratorTable(const uint8_t* data, size_t size, std::vector<AcceleratorEntry>* entries,
                            std::string* error);

bool EncodeStringResource(const std::u16string& text, std::vector<uint8_t>* out, std::string* error);
bool DecodeStringResource(const uint8_t* data, size_t size, std::u16string* text, std::string* error);

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

bool EncodeIconResource(const IconImage& icon, std::vector<uint8_t>* out, std::string* error);
bool DecodeIconResource(const uint8_t* data, size_t size, IconImage* icon, std::string* error);
