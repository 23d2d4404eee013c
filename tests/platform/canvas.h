// A small bitmap in a memory context for drawing tests, and ways to look at
// its pixels: one at a time, as a picture of characters, or as the box that
// holds everything that is not the ground.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"

class Canvas {
 public:
  Canvas(int width, int height, COLORREF ground = RGB(255, 255, 255))
      : width_(width), height_(height), ground_(ground) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    old_ = SelectObject(dc_, bitmap_);
    Clear(ground);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  void Clear(COLORREF colour) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetPixel(dc_, x, y, colour);
  }

  // One character a pixel: '.' the ground, the legend's character for its
  // colours, '?' for any other colour.
  std::vector<std::string> Picture(const std::map<COLORREF, char>& legend) const {
    std::vector<std::string> rows;
    for (int y = 0; y < height_; ++y) {
      std::string row;
      for (int x = 0; x < width_; ++x) {
        COLORREF c = At(x, y);
        auto it = legend.find(c);
        row += c == ground_ ? '.' : it != legend.end() ? it->second : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }

  // The smallest rectangle that holds every pixel that is not the ground;
  // empty (all zero) when there is none.
  RECT Ink() const {
    RECT r{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (At(x, y) == ground_) continue;
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
    }
    return r.right == 0 ? RECT{0, 0, 0, 0} : r;
  }

  int Count(COLORREF colour) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += At(x, y) == colour;
    return n;
  }

 private:
  int width_, height_;
  COLORREF ground_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// A font selected into a context for one scope, deleted afterwards.
class ScopedFont {
 public:
  ScopedFont(HDC dc, const std::u16string& face, LONG height, LONG weight = FW_NORMAL,
             BYTE charSet = ANSI_CHARSET)
      : dc_(dc) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&lf);
    old_ = SelectObject(dc_, font_);
  }
  ~ScopedFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;

  HFONT font() const { return font_; }
  TEXTMETRICW Metrics() const {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    return tm;
  }
  std::u16string Face() const {
    LOGFONTW lf{};
    GetObjectW(font_, sizeof lf, &lf);
    return lf.lfFaceName;
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};
