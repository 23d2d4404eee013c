// Bitmap resources (our format, LoadBitmapW) and PNG pictures of bitmaps,
// contexts and the screen.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "canvas.h"
#include "case_name.h"
#include "platform/bitmap_resource.h"
#include "platform/options.h"
#include "platform/png.h"
#include "platform/resource.h"
#include "platform/screen.h"
#include "platform/testing.h"

namespace {

// A bitmap whose pixel (x, y) has index (x + 2y) modulo the palette size.
IndexedBitmap Pattern(int width, int height, int bits) {
  IndexedBitmap b;
  b.width = width;
  b.height = height;
  b.bitsPixel = bits;
  for (int i = 0; i < (1 << bits); ++i)
    b.palette.push_back(static_cast<uint32_t>(i * 0x0B1D2F) & 0xFFFFFF);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.indices.push_back(static_cast<uint8_t>((x + 2 * y) % (1 << bits)));
  return b;
}

std::vector<uint8_t> Encode(const IndexedBitmap& b) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(EncodeBitmapResource(b, &bytes, &error)) << error;
  return bytes;
}

struct ShapeCase {
  const char* name;
  int width, height, bits;
  size_t bytes;
};

class BitmapRoundTrip : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(BitmapRoundTrip, DecodesWhatItEncodes) {
  const ShapeCase& c = GetParam();
  IndexedBitmap in = Pattern(c.width, c.height, c.bits);
  std::vector<uint8_t> bytes = Encode(in);
  EXPECT_EQ(bytes.size(), c.bytes);
  IndexedBitmap out;
  std::string error;
  ASSERT_TRUE(DecodeBitmapResource(bytes.data(), bytes.size(), &out, &error)) << error;
  EXPECT_EQ(out.width, in.width);
  EXPECT_EQ(out.height, in.height);
  EXPECT_EQ(out.bitsPixel, in.bitsPixel);
  EXPECT_EQ(out.palette, in.palette);
  EXPECT_EQ(out.indices, in.indices);
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, BitmapRoundTrip,
                         ::testing::Values(ShapeCase{"one bit, 9 x 9", 9, 9, 1, 12 + 6 + 9 * 2},
                                           ShapeCase{"one bit, 8 x 1", 8, 1, 1, 12 + 6 + 1},
                                           ShapeCase{"four bits, 5 x 3", 5, 3, 4, 12 + 48 + 3 * 3},
                                           ShapeCase{"eight bits, 3 x 2", 3, 2, 8, 12 + 768 + 6}),
                         ByCaseName());

TEST(Bitmaps, OnePixelRowsPackHighBitsFirst) {
  IndexedBitmap b;
  b.width = 10;
  b.height = 1;
  b.bitsPixel = 1;
  b.palette = {0x000000};  // padded with black to two entries
  b.indices = {1, 0, 0, 0, 0, 0, 0, 1, 1, 0};
  std::vector<uint8_t> bytes = Encode(b);
  ASSERT_EQ(bytes.size(), 12u + 6 + 2);
  EXPECT_EQ(bytes[18], 0x81);
  EXPECT_EQ(bytes[19], 0x80) << "unused low bits stay zero";
}

TEST(Bitmaps, MalformedResourcesAreRefusedWithAReason) {
  std::vector<uint8_t> good = Encode(Pattern(9, 9, 1));
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    return b;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"empty", {}, "not a bitmap"},
      {"bad magic", with(0, 'X'), "not a bitmap"},
      {"zero width", with(4, 0), "outside 1 to 4096"},
      {"two bits", with(8, 2), "not 1, 4 or 8"},
      {"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1), "bytes, not"},
      {"one byte over", [&] {
         std::vector<uint8_t> b = good;
         b.push_back(0);
         return b;
       }(), "bytes, not"},
      {"height past the data", with(6, 200), "bytes, not"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IndexedBitmap out;
    std::string error;
    EXPECT_FALSE(DecodeBitmapResource(c.bytes.data(), c.bytes.size(), &out, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(Bitmaps, EncodingRefusesWhatCannotBeStored) {
  IndexedBitmap indexOutside = Pattern(3, 3, 1);
  indexOutside.indices[4] = 2;
  IndexedBitmap paletteTooLong = Pattern(3, 3, 1);
  paletteTooLong.palette.push_back(0);
  IndexedBitmap pixelsMissing = Pattern(3, 3, 4);
  pixelsMissing.indices.pop_back();
  struct Case {
    const char* name;
    IndexedBitmap bitmap;
    const char* reason;
  } cases[] = {
      {"index outside", indexOutside, "outside the palette"},
      {"palette too long", paletteTooLong, "more than 2"},
      {"pixels missing", pixelsMissing, "not width x height"},
      {"too wide", Pattern(5000, 1, 1), "outside 1 to 4096"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(EncodeBitmapResource(c.bitmap, &bytes, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

class LoadBitmaps : public ::testing::Test {
 protected:
  void TearDown() override { PlatformUseEmbeddedResources(); }
};

TEST_F(LoadBitmaps, LoadBitmapGivesThePaletteColours) {
  IndexedBitmap mono = Pattern(9, 9, 1), colour = Pattern(16, 5, 4);
  std::vector<uint8_t> broken = Encode(mono);
  broken.pop_back();
  ASSERT_TRUE(TestUseResources({{2, 201, Encode(mono)}, {2, 114, Encode(colour)}, {2, 7, broken},
                                {10, 300, Encode(mono)}}));
  HINSTANCE self = GetModuleHandleW(nullptr);
  struct Case {
    int id;
    const IndexedBitmap* expected;
    LONG widthBytes;
  } cases[] = {{201, &mono, 2}, {114, &colour, 8}, {7, nullptr, 0}, {300, nullptr, 0}, {999, nullptr, 0}};
  HDC dc = CreateCompatibleDC(nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HBITMAP bitmap = LoadBitmapW(self, MAKEINTRESOURCEW(c.id));
    if (c.expected == nullptr) {
      EXPECT_EQ(bitmap, nullptr) << "missing, damaged or not a bitmap";
      continue;
    }
    ASSERT_NE(bitmap, nullptr);
    const IndexedBitmap& e = *c.expected;
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, e.width);
    EXPECT_EQ(info.bmHeight, e.height);
    EXPECT_EQ(info.bmBitsPixel, e.bitsPixel);
    EXPECT_EQ(info.bmWidthBytes, c.widthBytes);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < e.height; ++y) {
      for (int x = 0; x < e.width; ++x) {
        uint32_t rgb = e.palette[e.indices[static_cast<size_t>(y) * e.width + x]];
        ASSERT_EQ(GetPixel(dc, x, y), RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)) << x << "," << y;
      }
    }
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(bitmap));
  }
  DeleteDC(dc);
}

// Reads a PNG back as 0x00RRGGBB pixels.
bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  pixels->clear();
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    pixels->push_back(static_cast<uint32_t>(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  return true;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("lumora-") + std::to_string(::getpid()) + "-" + name))
      .string();
}

TEST(Png, PicturesOfBitmapsContextsAndTheScreenReadBack) {
  Canvas canvas(5, 3);
  SetPixel(canvas.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(canvas.dc(), 4, 2, RGB(0, 0, 255));
  SetPixel(canvas.dc(), 2, 1, RGB(1, 2, 3));
  ASSERT_TRUE(ScreenResize(6, 4));
  HDC screen = GetDC(nullptr);
  SetPixel(screen, 5, 3, RGB(0, 255, 0));
  RECT area{1, 1, 4, 3};
  HDC part = CreateScreenDC(area, nullptr);

  struct Case {
    const char* name;
    std::function<bool(const std::string&, std::string*)> save;
    int width, height;
    std::vector<std::pair<POINT, uint32_t>> probes;
  } cases[] = {
      {"bitmap", [&](auto& p, auto* e) { return SavePng(canvas.bitmap(), p, e); }, 5, 3,
       {{{0, 0}, 0xFF0000}, {{4, 2}, 0x0000FF}, {{2, 1}, 0x010203}, {{1, 1}, 0xFFFFFF}}},
      {"memory context", [&](auto& p, auto* e) { return SavePng(canvas.dc(), p, e); }, 5, 3,
       {{{0, 0}, 0xFF0000}}},
      {"screen", [](auto& p, auto* e) { return TestSaveScreen(p, e); }, 6, 4,
       {{{5, 3}, 0x00FF00}, {{0, 0}, 0xFFFFFF}}},
      {"part of the screen", [&](auto& p, auto* e) { return SavePng(part, p, e); }, 3, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = TempPath("picture.png"), error;
    ASSERT_TRUE(c.save(path, &error)) << error;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(ReadPng(path, &width, &height, &pixels));
    std::remove(path.c_str());
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    for (const auto& [at, rgb] : c.probes)
      EXPECT_EQ(pixels[static_cast<size_t>(at.y) * width + at.x], rgb) << at.x << "," << at.y;
  }
  DeleteDC(part);
  ReleaseDC(nullptr, screen);
  ScreenResize(240, 320);
}

TEST(Png, FailuresSayWhy) {
  Canvas canvas(2, 2);
  std::string error;
  EXPECT_FALSE(SavePng(canvas.bitmap(), "/nonexistent-folder/x.png", &error));
  EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos) << error;
  EXPECT_FALSE(SavePng(reinterpret_cast<HBITMAP>(0x50), TempPath("never.png"), &error));
  EXPECT_EQ(error, "not a bitmap");
  EXPECT_FALSE(SavePng(reinterpret_cast<HDC>(0x50), TempPath("never.png"), &error));
  EXPECT_EQ(error, "not a device context");
}

}  // namespace
