// The article view on any article bytes, at any pane size and scroll
// position: layout, painting, the highlight, scrolling, the title box and a
// resize. Shared by the fuzz target and the test that replays its findings.
// Input: width, height, top line, hit start and hit end (two bytes each,
// big-endian), one byte of options, then the D bytes of the article.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/gdi.h"
#include "platform/memory.h"
#include "view/article_view.h"
#include "view/font_choice.h"

#if defined(__SANITIZE_ADDRESS__)
#define LAYOUT_EXERCISE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LAYOUT_EXERCISE_ASAN 1
#endif
#endif
#ifdef LAYOUT_EXERCISE_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace layoutexercise {

constexpr size_t kHeader = 11;

inline unsigned Get16(const uint8_t* p) { return static_cast<unsigned>(p[0]) << 8 | p[1]; }

inline HDC Surface() {
  static HDC dc = [] {
    HDC d = CreateCompatibleDC(nullptr);
    SelectObject(d, CreateCompatibleBitmap(d, 320, 320));
    return d;
  }();
  return dc;
}

// False when the view breaks one of its own rules.
inline bool Exercise(const uint8_t* data, size_t size) {
  if (size < kHeader || size - kHeader > 0xFFFF) return true;
  int width = static_cast<int16_t>(Get16(data));
  int height = static_cast<int16_t>(Get16(data + 2));
  unsigned options = data[10];
  size_t length = size - kHeader;
  // A block as FetchStored makes it; the two bytes after the data are never
  // to be read, so they are poisoned.
  BYTE* text = static_cast<BYTE*>(LocalAlloc(LPTR, length + 2));
  if (length > 0) std::memcpy(text, data + kHeader, length);
#ifdef LAYOUT_EXERCISE_ASAN
  ASAN_POISON_MEMORY_REGION(text + length, 2);
#endif

  struct FontSpec choice;
  std::memset(&choice, 0, sizeof choice);
  const char16_t* face = (options & 1) ? u"DejaVu Sans" : u"Test Fixed";
  for (int k = 0; face[k] != 0; ++k) choice.faceName[k] = face[k];
  choice.size = static_cast<int>(options >> 4) * 3;
  FontSpec.letterBase = (options & 2) ? 97 : DEFAULT_LETTER_BASE;
  Flags = (options & 4) ? (DEFAULT_FLAGS | FLAG_REVERSE) : DEFAULT_FLAGS;

  RECT box = {(options & 8) ? 7 : 0, 3, 3 + width, 3 + height};
  ArticleView* view = CreateArticleView(Surface(), &box, &choice, (options & 0x30) == 0x30 ? 0 : 100);
  if (view == nullptr) return false;
  bool ok = true;
  int result = LayoutArticle(view, text, true);
  if (result == LAYOUT_DONE) {
    ok = view->text == text && view->lines[view->lineCount].flags == 0 && view->maxTopLine <= view->totalLines;
    for (int i = 0; i < view->lineCount; ++i) ok = ok && view->lines[i].flags != 0;
    view->topLine = static_cast<WORD>(Get16(data + 4));
    view->hitStart = static_cast<WORD>(Get16(data + 6));
    view->hitEnd = static_cast<WORD>(Get16(data + 8));
    ok = ok && PaintArticle(view, true) == 0 && PaintHighlight(view) == 0;
    ScrollArticle(view, static_cast<int8_t>(data[5]), (options & 0x40) != 0);
    LineOfOffset(view, view->hitStart);
    DrawTitleBox(view);
    if (ResizeArticle(view, width, height) == LAYOUT_DONE) ok = ok && PaintArticle(view, false) == 0;
  } else {
    ok = result == LAYOUT_EMPTY_ARTICLE;
    LocalFree(text);
  }
  DestroyArticleView(view, true);
  return ok;
}

}  // namespace layoutexercise
