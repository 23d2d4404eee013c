// Text metrics, measuring and drawing over the fonts of font.h. Glyphs go
// left to right in the order given, each advancing by its own width: no
// shaping, no bidi, no kerning. Measuring allocates nothing once the
// characters are in the font's advance cache.
#include <algorithm>
#include <climits>

#include "platform/font.h"
#include "platform/gdi_internal.h"

using gdi::Box;
using gdi::DeviceContext;
using gdi::FontInstance;
using gdi::Target;

namespace {

constexpr LONG kMaxFontHeight = 2048;

LONG Clamp(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The step of one character from a pen position measured from the line's start.
int64_t Step(FontInstance& f, char16_t c, int64_t pen, bool tabs) {
  if (tabs && c == u'\t') {
    int64_t stop = std::max(8 * f.Metrics().tmAveCharWidth, 1);
    return stop - pen % stop;
  }
  return f.Advance(c);
}

int64_t Width(FontInstance& f, const char16_t* text, int count, bool tabs) {
  int64_t w = 0;
  for (int i = 0; i < count; ++i) w += Step(f, text[i], w, tabs);
  return w;
}

struct Run {
  const char16_t* text = nullptr;
  int count = 0;
  const uint8_t* underline = nullptr;  // per character, or none
  const int* dx = nullptr;             // per character step, or none
  bool tabs = false;
};

// Paints a run with its cell's top-left at logical (x, y); in opaque mode the
// cell is filled with the background colour first.
void Paint(const DeviceContext& d, const Target& t, FontInstance& f, int64_t x, int64_t y,
           const Run& run) {
  const TEXTMETRICW& m = f.Metrics();
  int64_t width = 0;
  for (int i = 0; i < run.count; ++i)
    width += run.dx != nullptr ? run.dx[i] : Step(f, run.text[i], width, run.tabs);
  Box cell = t.ToDevice({x, y, x + width, y + m.tmHeight});
  if (d.bkMode == OPAQUE) gdi::Fill(t, cell, gdi::ToPixel(d.bkColour));
  uint32_t colour = gdi::ToPixel(d.textColour);
  bool underlineAll = d.font->logfont.lfUnderline != 0;
  int64_t margin = 2 * int64_t{m.tmHeight} + m.tmMaxCharWidth;
  int64_t pen = 0;
  for (int i = 0; i < run.count; ++i) {
    char16_t c = run.text[i];
    int64_t step = run.dx != nullptr ? run.dx[i] : Step(f, c, pen, run.tabs);
    int64_t left = cell.left + pen;
    // Glyphs far outside the clip are skipped, so the work stays bounded by
    // it; the margin covers ink that reaches past a glyph's advance.
    if (left - margin < t.clip.right && left + margin > t.clip.left && !(run.tabs && c == u'\t'))
      f.DrawGlyph(t, left, cell.top, c, colour);
    if (underlineAll || (run.underline != nullptr && run.underline[i])) {
      int64_t top = cell.top + f.UnderlineTop();
      gdi::Fill(t, {left, top, left + step, top + f.UnderlineHeight()}, colour);
    }
    pen += step;
    if (run.dx == nullptr && left - margin > t.clip.right) break;
  }
}

// DrawTextW's working text, kept between calls so that drawing allocates
// only when a longer text than ever before comes.
struct Layout {
  std::vector<char16_t> text;
  std::vector<uint8_t> underline;
  struct Line {
    int start, count;
    int64_t width;
  };
  std::vector<Line> lines;
};

Layout& TheLayout() {
  static Layout* layout = new Layout;
  return *layout;
}

void TakePrefixes(const char16_t* text, int count, bool prefixes, Layout* out) {
  out->text.clear();
  out->underline.clear();
  for (int i = 0; i < count; ++i) {
    char16_t c = text[i];
    bool mark = false;
    if (prefixes && c == u'&') {
      if (++i == count) break;  // a lone '&' at the end shows nothing
      c = text[i];
      mark = c != u'&';
    }
    out->text.push_back(c);
    out->underline.push_back(mark ? 1 : 0);
  }
}

// Splits [start, end) into lines no wider than `room` where spaces allow;
// a word wider than the room stands alone on its line.
void BreakWords(FontInstance& f, Layout* out, int start, int end, int64_t room, bool tabs) {
  const char16_t* s = out->text.data();
  while (true) {
    int lineEnd = start, next = end;
    int64_t width = 0, fitted = 0;
    for (int i = start; i < end; ++i) {
      width += Step(f, s[i], width, tabs);
      if (s[i] == u' ') continue;
      bool wordEnds = i + 1 == end || s[i + 1] == u' ';
      if (!wordEnds) continue;
      if (width > room && lineEnd > start) break;
      lineEnd = i + 1;
      fitted = width;
    }
    if (lineEnd == start) lineEnd = end, fitted = Width(f, s + start, end - start, tabs);
    next = lineEnd;
    while (next < end && s[next] == u' ') ++next;
    out->lines.push_back({start, lineEnd - start, fitted});
    if (next >= end) return;
    start = next;
  }
}

void SplitLines(FontInstance& f, Layout* out, UINT format, int64_t room) {
  bool tabs = (format & DT_EXPANDTABS) != 0;
  out->lines.clear();
  int n = static_cast<int>(out->text.size());
  if (format & DT_SINGLELINE) {
    out->lines.push_back({0, n, Width(f, out->text.data(), n, tabs)});
    return;
  }
  int start = 0;
  for (int i = 0; i <= n; ++i) {
    char16_t c = i < n ? out->text[i] : u'\n';
    if (c != u'\n' && c != u'\r') continue;
    if (i == n && start == n && n > 0) break;  // a final line break opens no new line
    if (format & DT_WORDBREAK) BreakWords(f, out, start, i, room, tabs);
    else out->lines.push_back({start, i - start, Width(f, out->text.data() + start, i - start, tabs)});
    if (c == u'\r' && i + 1 < n && out->text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (font == nullptr || font->lfHeight < -kMaxFontHeight || font->lfHeight > kMaxFontHeight)
    return nullptr;
  auto o = std::make_unique<gdi::Object>();
  o->kind = gdi::Kind::Font;
  o->font = gdi::OpenFont(*font, &o->logfont);
  if (!o->font) return nullptr;
  return gdi::AddObject(std::move(o));
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr || metrics == nullptr) return FALSE;
  *metrics = gdi::FontOf(*d).Metrics();
  const LOGFONTW& lf = d->font->logfont;
  metrics->tmWeight = lf.lfWeight != 0 ? lf.lfWeight : FW_NORMAL;
  metrics->tmItalic = lf.lfItalic != 0;
  metrics->tmUnderlined = lf.lfUnderline != 0;
  return TRUE;
}

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, int* fit, int* dx,
                           SIZE* size) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr || count < 0 || (count > 0 && text == nullptr)) return FALSE;
  FontInstance& f = gdi::FontOf(*d);
  int64_t width = 0;
  int fitting = 0;
  for (int i = 0; i < count; ++i) {
    width += f.Advance(text[i]);
    if (width <= maxExtent && fitting == i) fitting = i + 1;
    if (dx != nullptr) dx[i] = Clamp(width);
  }
  if (fit != nullptr) *fit = fitting;
  if (size != nullptr) *size = {Clamp(width), f.Metrics().tmHeight};
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
  return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* dx) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr || count > INT_MAX || (count > 0 && text == nullptr)) return FALSE;
  FontInstance& f = gdi::FontOf(*d);
  Target t;
  if (!gdi::Resolve(*d, &t)) return TRUE;
  if (rect != nullptr && (options & ETO_OPAQUE))
    gdi::Fill(t, t.ToDevice(gdi::BoxOf(*rect)), gdi::ToPixel(d->bkColour));
  if (rect != nullptr && (options & ETO_CLIPPED))
    t.clip = gdi::Intersect(t.clip, t.ToDevice(gdi::BoxOf(*rect)));
  if (t.clip.Empty()) return TRUE;
  Run run;
  run.text = text;
  run.count = static_cast<int>(count);
  run.dx = dx;
  Paint(*d, t, f, x, y, run);
  return TRUE;
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
  DeviceContext* d = gdi::FindDC(dc);
  if (d == nullptr || rect == nullptr || text == nullptr || count < -1) return 0;
  if (count == -1) {
    count = 0;
    while (count < INT_MAX && text[count] != 0) ++count;
  }
  FontInstance& f = gdi::FontOf(*d);
  Layout& layout = TheLayout();
  TakePrefixes(text, count, !(format & DT_NOPREFIX), &layout);
  int64_t room = int64_t{rect->right} - rect->left;
  SplitLines(f, &layout, format, room);
  int64_t lineHeight = f.Metrics().tmHeight;
  int64_t height = lineHeight * static_cast<int64_t>(layout.lines.size());
  if (count == 0) height = 0;
  if (format & DT_CALCRECT) {
    int64_t widest = 0;
    for (const Layout::Line& line : layout.lines) widest = std::max(widest, line.width);
    rect->right = Clamp(rect->left + widest);
    rect->bottom = Clamp(rect->top + height);
    return static_cast<int>(std::min<int64_t>(height, INT_MAX));
  }
  Target t;
  if (count == 0 || !gdi::Resolve(*d, &t)) return static_cast<int>(std::min<int64_t>(height, INT_MAX));
  if (!(format & DT_NOCLIP)) t.clip = gdi::Intersect(t.clip, t.ToDevice(gdi::BoxOf(*rect)));
  int64_t y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (int64_t{rect->bottom} - rect->top - height) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - height;
  }
  for (const Layout::Line& line : layout.lines) {
    if (t.clip.Empty()) break;
    int64_t x = rect->left;
    if (format & DT_CENTER) x = rect->left + (room - line.width) / 2;
    else if (format & DT_RIGHT) x = rect->right - line.width;
    Run run;
    run.text = layout.text.data() + line.start;
    run.count = line.count;
    run.underline = layout.underline.data() + line.start;
    run.tabs = (format & DT_EXPANDTABS) != 0;
    Paint(*d, t, f, x, y, run);
    y += lineHeight;
  }
  return static_cast<int>(std::min<int64_t>(height, INT_MAX));
}

int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW callback, LPARAM param) {
  if ((dc != nullptr && gdi::FindDC(dc) == nullptr) || callback == nullptr) return 0;
  return gdi::EnumerateFamilies(family, callback, param);
}
