// Helpers shared by the article view's tests: articles in LocalAlloc blocks,
// a small memory surface, and font choices.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/memory.h"
#include "platform/canvas.h"
#include "platform/testing.h"
#include "view/article_view.h"
#include "view/font_choice.h"

#if defined(__SANITIZE_ADDRESS__)
#define VIEWTEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIEWTEST_ASAN 1
#endif
#endif
#ifdef VIEWTEST_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace viewtest {

struct Record {
  int flags;
  int parameter;
  std::string text;
};

inline std::vector<BYTE> ArticleBytes(const std::vector<Record>& records, bool endMark = true) {
  std::vector<BYTE> bytes;
  for (const Record& r : records) {
    bytes.push_back(static_cast<BYTE>(r.flags));
    bytes.push_back(static_cast<BYTE>(r.parameter));
    bytes.insert(bytes.end(), r.text.begin(), r.text.end());
    bytes.push_back(0);
  }
  if (endMark)
    bytes.insert(bytes.end(), {0, 0, 0});
  else if (!bytes.empty())
    bytes.pop_back();  // the last text runs to the end of the data
  return bytes;
}

// A block as FetchStored gives it: D data bytes, then two zero bytes that
// no reader may look at, poisoned under the address sanitizer.
inline BYTE* StoredBlock(const std::vector<BYTE>& data) {
  BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, data.size() + 2));
  if (!data.empty()) std::memcpy(block, data.data(), data.size());
#ifdef VIEWTEST_ASAN
  ASAN_POISON_MEMORY_REGION(block + data.size(), 2);
#endif
  return block;
}

inline BYTE* MakeArticle(const std::vector<Record>& records, bool endMark = true) {
  return StoredBlock(ArticleBytes(records, endMark));
}

inline struct FontSpec Font(const std::u16string& face, int size, int letterBase = 97) {
  struct FontSpec choice;
  std::memset(&choice, 0, sizeof choice);
  for (size_t k = 0; k < face.size() && k < LF_FACESIZE - 1; ++k) choice.faceName[k] = face[k];
  choice.size = size;
  choice.letterBase = letterBase;
  return choice;
}

// Whether every pixel, or any pixel, of the rectangle has the colour.
inline bool AllOf(const Canvas& canvas, int left, int top, int right, int bottom, COLORREF colour) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (canvas.At(x, y) != colour) return false;
  return true;
}
inline bool AnyOf(const Canvas& canvas, int left, int top, int right, int bottom, COLORREF colour) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (canvas.At(x, y) == colour) return true;
  return false;
}

// Whether the font is the one selected into the context.
inline bool IsSelected(HDC dc, HFONT font) { return SelectObject(dc, font) == font; }

// Each test starts from the program's defaults, with letters shown as the
// stored bytes unless it says otherwise.
class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedChoice_ = FontSpec;
    savedFlags_ = Flags;
    FontSpec.letterBase = 97;
    Flags = DEFAULT_FLAGS;
  }
  void TearDown() override {
    TestFailAllocationAt(0);
    FontSpec = savedChoice_;
    Flags = savedFlags_;
  }
 private:
  struct FontSpec savedChoice_;
  DWORD savedFlags_ = 0;
};

// A test that lays out one view at a time, in "Test Fixed" at size 10
// unless it says otherwise; the view is destroyed at the end.
class ViewFixture : public ViewTest {
 protected:
  void TearDown() override {
    DestroyArticleView(view_, true);
    ViewTest::TearDown();
  }
  // A new view of the pane, laid out with the article; returns the result.
  int LayOut(HDC dc, const RECT& box, const std::vector<Record>& records, int capacity = 100, bool endMark = true) {
    DestroyArticleView(view_, true);
    view_ = CreateArticleView(dc, &box, &choice_, capacity);
    BYTE* text = MakeArticle(records, endMark);
    int result = LayoutArticle(view_, text, true);
    if (result != LAYOUT_DONE) LocalFree(text);
    return result;
  }

  struct FontSpec choice_ = Font(u"Test Fixed", 10);
  ArticleView* view_ = nullptr;
};

}  // namespace viewtest
