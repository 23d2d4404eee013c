// Fonts behind HFONT: one face at one size, with its metrics, an advance
// cache for measuring and a glyph cache for painting. Not part of the app's
// interface.
#pragma once

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gdi_internal.h"

namespace gdi {

struct Face;  // an opened font file

struct Glyph {
  int left = 0;  // from the pen position to the first column
  int top = 0;   // from the cell top to the first row
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;  // width × height, 0..255
};

class FontInstance {
 public:
  // The built-in face "Test Fixed" with the given cell height.
  explicit FontInstance(int cellHeight);
  FontInstance(std::shared_ptr<Face> face, int ppem, int ascent, int descent, bool syntheticBold,
               bool hebrew);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  const TEXTMETRICW& Metrics() const { return metrics_; }
  bool Hebrew() const { return metrics_.tmCharSet == HEBREW_CHARSET; }
  int Advance(char16_t c) {
    if (fixedAdvance_ > 0) return fixedAdvance_;
    const int32_t* page = advances_[c >> 8].get();
    if (page != nullptr && page[c & 0xFF] >= 0) return page[c & 0xFF];
    return LoadAdvance(c);
  }
  // Paints c with the top-left of its cell at device (x, y).
  void DrawGlyph(const Target& target, int64_t x, int64_t y, char16_t c, uint32_t colour);
  // Rows of the underline, from the cell top.
  int UnderlineTop() const { return underlineTop_; }
  int UnderlineHeight() const { return underlineHeight_; }

 private:
  int LoadAdvance(char16_t c);
  const Glyph& GlyphOf(char16_t c);
  bool LoadGlyph(char16_t c, bool render, int* advance, Glyph* glyph);

  TEXTMETRICW metrics_{};
  int fixedAdvance_ = 0;  // Test Fixed only
  int underlineTop_ = 0;
  int underlineHeight_ = 1;
  std::shared_ptr<Face> face_;
  void* size_ = nullptr;  // FT_Size of this instance
  int emboldenStrength_ = 0;  // 26.6 pixels, 0 when the face is bold itself
  std::array<std::unique_ptr<int32_t[]>, 256> advances_;
  std::unordered_map<char16_t, Glyph> glyphs_;
  Glyph uncached_;
};

// Finds the face for a description, falling back as gdi.h says; `chosen`
// receives the description with the face name actually used.
std::shared_ptr<FontInstance> OpenFont(const LOGFONTW& asked, LOGFONTW* chosen);
int EnumerateFamilies(LPCWSTR family, FONTENUMPROCW callback, LPARAM param);

}  // namespace gdi
