#include <algorithm>
#include <climits>
#include <cstring>

#include "content/article.h"
#include "content/stored.h"
#include "platform/memory.h"
#include "view/article_view.h"
#include "view/letters.h"

PenBuffer LineEnds = {nullptr, 0};

namespace {

constexpr int kGrowStep = 128;
constexpr int kMaxLines = 0xFFFF;

LineRecord* AllocateLines(int capacity) {
  return static_cast<LineRecord*>(LocalAlloc(LMEM_FIXED, (capacity + 1u) * sizeof(LineRecord)));
}

void ReleaseSlotFonts(ArticleView* view) {
  for (FontSlot* slot = view->fontSlots; slot != nullptr; slot = slot->next) {
    if (slot->font != nullptr) DeleteObject(slot->font);
    slot->font = nullptr;
  }
}

// What one layout carries from record to record.
struct Layout {
  ArticleView* view;
  int line;        // next record of the table
  int indent;      // the running indent
  int height;      // of the lines of the font in force
  int maxChar;     // tmMaxCharWidth of that font
  int aveChar;     // tmAveCharWidth of that font
  int blankLines;  // blank lines after paragraphs so far
  HFONT kept;      // the surface's font before the layout
};

void ReadMetrics(Layout* lay) {
  TEXTMETRICW tm;
  std::memset(&tm, 0, sizeof tm);
  GetTextMetricsW(lay->view->surface, &tm);
  lay->height = tm.tmHeight;
  lay->maxChar = tm.tmMaxCharWidth;
  lay->aveChar = tm.tmAveCharWidth;
}

void UseStyle(Layout* lay, BYTE flags) {
  HFONT before = SelectStyle(lay->view, flags, false);
  if (lay->kept == nullptr) lay->kept = before;
  ReadMetrics(lay);
}

int* TakeEnds(int count) {
  if (LineEnds.ends != nullptr && LineEnds.capacity >= count) return LineEnds.ends;
  LocalFree(LineEnds.ends);
  LineEnds.ends = static_cast<int*>(LocalAlloc(LMEM_FIXED, (count + 1u) * sizeof(int)));
  LineEnds.capacity = LineEnds.ends ? count : 0;
  return LineEnds.ends;
}

// The characters of `units` that fit in room, their ends in LineEnds: with
// them a line needs one extent call, and the width of a shorter run after a
// break is read off instead of measured again. A paragraph's rest can be far
// longer than a line, so it is measured in growing pieces: the fit is the
// same, the cost stays that of a line.
int FitUnits(HDC surface, const WCHAR* units, int count, int room, int guess) {
  int piece = std::min(count, std::max(guess, 8));
  for (;;) {
    int fit = 0;
    if (piece == 0) return 0;
    if (!GetTextExtentExPointW(surface, units, piece, room, &fit, LineEnds.ends, nullptr)) {
      LineEnds.ends[0] = 0;
      return 0;
    }
    if (fit < piece || piece == count) return fit;
    piece = count - piece > piece ? 2 * piece : count;
  }
}

int EndOf(int count) { return count > 0 ? LineEnds.ends[count - 1] : 0; }

WORD Clamp16(long v) { return static_cast<WORD>(std::clamp<long>(v, 0, 0xFFFF)); }

int EnsureLine(Layout* lay) {
  if (lay->line < lay->view->lineCapacity) return 0;
  return GrowLineTable(lay->view, lay->line);
}

// Breaks one text paragraph into lines. `run` is the text in reading order
// (the reversed copy for a right-to-left paragraph), `units` its conversion.
int MakeLines(Layout* lay, const ParagraphRecord& rec, const BYTE* run, const WCHAR* units, int total,
              int hang) {
  ArticleView* view = lay->view;
  bool rtl = (rec.flags & PF_RTL) != 0;
  int s = 0, remaining = total;
  for (;;) {
    while (remaining > 0 && run[s] == ' ') ++s, --remaining;
    if (remaining == 0) return 0;
    if (EnsureLine(lay) != 0) return -2;
    int end = s + remaining;
    int room = view->width - lay->indent;
    int q = s;
    if (hang != 0) {
      while (q < end && run[q] != ' ') ++q;
      while (q < end && run[q] == ' ') ++q;
      room = std::max(room - hang, 0);
    }
    int guess = std::max(room, 0) / std::max(lay->aveChar, 1) + 8;
    int n = FitUnits(view->surface, units + q, end - q, room, guess);
    if (q + n < end && run[q + n] != ' ') {
      int k = n - 1;
      while (k >= 1 && run[q + k] != ' ' && run[q + k] != '-') --k;
      if (k >= 1) n = run[q + k] == ' ' ? k : k + 1;
    }
    // Not even one character fits: take one anyway, so the paragraph ends.
    if (n == 0 && q == s) n = 1;
    int width = EndOf(n);
    LineRecord* line = &view->lines[lay->line];
    line->length = static_cast<WORD>(n);
    line->hangWidth = Clamp16(hang);
    line->width = Clamp16(width);
    line->height = Clamp16(lay->height);
    if (rtl)
      line->offset = static_cast<WORD>(rec.textOffset + total - q - n);
    else
      line->offset = static_cast<WORD>(rec.textOffset + (hang != 0 ? s : q));
    long t = static_cast<long>(lay->indent) + hang;
    long x = view->left + t;
    if ((rec.flags & PF_ALIGN) == PF_ALIGN_RIGHT)
      x = std::max<long>(view->left + view->width - t - width, view->left);
    else if ((rec.flags & PF_ALIGN) == PF_ALIGN_CENTER)
      x = std::max<long>(view->left + lay->indent + (view->width - t - width) / 2, view->left);
    line->x = Clamp16(x);
    lay->indent = static_cast<int>(std::min<long>(t, INT_MAX / 2));
    n += q - s;
    // A flags byte of only PF_BLANK_AFTER would leave lines with flags 0, the
    // table's end mark; 0x60 aligns left as 0x00 does and is no style bit.
    BYTE flags = (rec.flags & ~PF_BLANK_AFTER) != 0 ? rec.flags : static_cast<BYTE>(rec.flags | PF_ALIGN);
    if (n == remaining) {
      line->flags = flags;
      if (flags & PF_BLANK_AFTER) ++lay->blankLines;
    } else {
      line->flags = static_cast<BYTE>(flags & ~PF_BLANK_AFTER);
    }
    s += n;
    remaining -= n;
    ++lay->line;
    hang = 0;
  }
}

int LayOutText(Layout* lay, const BYTE* article, const ParagraphRecord& rec, int hang) {
  int length = rec.textLength;
  if (length == 0) return 0;
  const BYTE* stored = article + rec.textOffset;
  BYTE* copy = nullptr;
  if (rec.flags & PF_RTL) {
    copy = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, length + 1u));
    if (copy == nullptr) return -2;
    for (int k = 0; k < length; ++k) copy[k] = stored[length - 1 - k];
    copy[length] = 0;
  }
  const BYTE* run = copy ? copy : stored;
  int mapped = 0;
  const WCHAR* units = MapRun(run, &MapScratch, length, false, &mapped);
  int result = units && TakeEnds(mapped) ? MakeLines(lay, rec, run, units, mapped, hang) : -2;
  LocalFree(copy);
  return result;
}

int LayOutRule(Layout* lay, const ParagraphRecord& rec) {
  ArticleView* view = lay->view;
  int p = rec.parameter;
  if (p == 0) return 0;
  if (EnsureLine(lay) != 0) return -2;
  long rule = p <= 160 ? p : (p - 160L) * view->width * 2 / 100;
  rule = std::max<long>(std::min<long>(rule, view->width), 0);
  LineRecord* line = &view->lines[lay->line];
  line->offset = rec.textOffset;
  line->length = 0;
  line->hangWidth = 0;
  line->width = Clamp16(rule);
  line->height = Clamp16(lay->height);
  line->flags = rec.flags;
  long x = view->left;
  if ((rec.flags & PF_ALIGN) == PF_ALIGN_RIGHT)
    x = view->left + view->width - rule;
  else if ((rec.flags & PF_ALIGN) == PF_ALIGN_CENTER)
    x = view->left + (view->width - rule) / 2;
  line->x = Clamp16(x);
  ++lay->line;
  if (rec.flags & PF_BLANK_AFTER) ++lay->blankLines;
  return 0;
}

void EndTable(Layout* lay) {
  ArticleView* view = lay->view;
  int i = lay->line;
  std::memset(&view->lines[i], 0, sizeof(LineRecord));
  view->lineCount = static_cast<WORD>(i);
  int total = lay->blankLines + i;
  if (i > 0 && (view->lines[i - 1].flags & PF_BLANK_AFTER)) {
    view->lines[i - 1].flags &= static_cast<BYTE>(~PF_BLANK_AFTER);
    --total;
  }
  view->totalLines = static_cast<WORD>(std::min(total, kMaxLines));
}

}  // namespace

ArticleView* CreateArticleView(HDC surface, const RECT* box, const struct FontSpec* choice, int capacity) {
  if (surface == nullptr) return nullptr;
  ArticleView* view = static_cast<ArticleView*>(LocalAlloc(LPTR, sizeof(ArticleView)));
  if (view == nullptr) return nullptr;
  view->surface = surface;
  if (choice != nullptr) view->fontSpec = *choice;
  if (box != nullptr) {
    view->left = box->left;
    view->top = box->top;
    view->width = box->right - box->left;
    view->height = box->bottom - box->top;
  }
  if (capacity > 0) {
    capacity = std::min(capacity, kMaxLines);
    view->lines = AllocateLines(capacity);
    if (view->lines != nullptr) {
      std::memset(view->lines, 0, sizeof(LineRecord));
      view->lineCapacity = static_cast<WORD>(capacity);
    }
  }
  return view;
}

void DestroyArticleView(ArticleView* view, bool releaseRecord) {
  if (view == nullptr) return;
  LocalFree(view->text);
  view->text = nullptr;
  LocalFree(view->lines);
  view->lines = nullptr;
  view->lineCapacity = view->lineCount = view->totalLines = view->maxTopLine = 0;
  ReleaseSlotFonts(view);
  while (view->fontSlots != nullptr) {
    FontSlot* next = view->fontSlots->next;
    LocalFree(view->fontSlots);
    view->fontSlots = next;
  }
  if (releaseRecord) LocalFree(view);
}

int SetArticleFont(ArticleView* view, const struct FontSpec* choice) {
  if (view == nullptr) return -1;
  if (choice == nullptr) {
    ReleaseSlotFonts(view);
    return 0;
  }
  view->fontSpec = *choice;
  for (FontSlot* slot = view->fontSlots; slot != nullptr; slot = slot->next) {
    if (slot->font != nullptr) DeleteObject(slot->font);
    slot->font = BuildSlotFont(view, slot->key);
  }
  if (LayoutArticle(view, view->text, false) != LAYOUT_DONE) return 1;
  return PaintArticle(view, true);
}

int ResizeArticle(ArticleView* view, int width, int height) {
  if (view == nullptr) return -1;
  if (width <= 0 || height <= 0) return RESIZE_BAD_SIZE;
  view->width = width;
  view->height = height;
  return LayoutArticle(view, view->text, false);
}

HFONT BuildSlotFont(const ArticleView* view, BYTE key) {
  LOGFONTW lf;
  std::memset(&lf, 0, sizeof lf);
  LONG size = view->fontSpec.size;
  if (key & PF_LARGE)
    size = size != 0 ? size * 5 / 4 : 20;
  else if (key & PF_SMALL)
    size = size != 0 ? size * 6 / 8 : 14;
  lf.lfHeight = size;
  lf.lfWeight = (key & PF_BOLD) ? FW_BOLD : FW_NORMAL;
  if (view->fontSpec.faceName[0] != 0) {
    for (int k = 0; k < LF_FACESIZE - 1 && view->fontSpec.faceName[k] != 0; ++k)
      lf.lfFaceName[k] = view->fontSpec.faceName[k];
  } else {
    lf.lfCharSet = HEBREW_CHARSET;
  }
  return CreateFontIndirectW(&lf);
}

FontSlot* AddFontSlot(ArticleView* view, BYTE key) {
  FontSlot* slot = static_cast<FontSlot*>(LocalAlloc(LPTR, sizeof(FontSlot)));
  if (slot == nullptr) return nullptr;
  slot->key = key;
  slot->next = view->fontSlots;
  view->fontSlots = slot;
  return slot;
}

HFONT SelectStyle(ArticleView* view, BYTE flags, bool withColour) {
  BYTE key = flags & PF_STYLE_KEY;
  FontSlot* slot = view->fontSlots;
  while (slot != nullptr && slot->key != key) slot = slot->next;
  if (slot == nullptr) slot = AddFontSlot(view, key);
  if (slot != nullptr && slot->font == nullptr) slot->font = BuildSlotFont(view, key);
  if (withColour) {
    COLORREF colour = TEXT_BLACK;
    if (key & PF_SMALL)
      colour = TEXT_NAVY;
    else if ((key & (PF_LARGE | PF_BOLD)) == (PF_LARGE | PF_BOLD))
      colour = TEXT_BLUE;
    SetTextColor(view->surface, colour);
  }
  // Without a slot or a font the style is drawn with the font in force.
  if (slot == nullptr || slot->font == nullptr) return nullptr;
  return static_cast<HFONT>(SelectObject(view->surface, slot->font));
}

int LayoutArticle(ArticleView* view, BYTE* text, bool release) {
  if (view == nullptr) return -1;
  view->hitStart = view->hitEnd = view->totalLines = view->maxTopLine = 0;
  if (text == nullptr) {
    if (release) {
      LocalFree(view->text);
      view->text = nullptr;
      view->lineCount = 0;
      if (view->lines != nullptr) std::memset(view->lines, 0, sizeof(LineRecord));
    }
    return LAYOUT_NO_TEXT;
  }
  unsigned size = StoredLength(text), at = 0;
  ParagraphRecord rec;
  if (!NextParagraph(text, size, &at, &rec) || (!IsRuleRecord(rec.flags) && rec.textLength == 0))
    return LAYOUT_EMPTY_ARTICLE;
  if (release && view->text != text) {
    LocalFree(view->text);
    view->text = nullptr;
  }
  if (view->lines == nullptr || view->lineCapacity == 0) {
    LocalFree(view->lines);
    view->lineCapacity = 0;
    view->lines = AllocateLines(kGrowStep);
    if (view->lines == nullptr) return LAYOUT_NO_MEMORY;
    view->lineCapacity = kGrowStep;
  }

  Layout lay = {view, 0, 0, 0, 0, 0, 0, nullptr};
  UseStyle(&lay, 1);
  BYTE style = 1;
  int previousParameter = 0, status = 0;
  at = 0;
  while (status == 0 && NextParagraph(text, size, &at, &rec)) {
    int p = rec.parameter, hang = p >> PARAM_HANG_SHIFT;
    bool rule = IsRuleRecord(rec.flags);
    if (hang != 0 && rec.textLength > 0 && text[rec.textOffset] == ' ' && lay.line > 0) {
      // A continuation paragraph goes on at the previous one's indent.
      lay.indent = std::max(lay.indent + (p & PARAM_INDENT) - (previousParameter & PARAM_INDENT), 0);
      hang = 0;
    } else {
      lay.indent = rule ? p : p & PARAM_INDENT;
    }
    previousParameter = p;
    if (rule) {
      status = LayOutRule(&lay, rec);
      continue;
    }
    if ((rec.flags & PF_STYLE_KEY) != (style & PF_STYLE_KEY)) UseStyle(&lay, rec.flags);
    style = rec.flags;
    int column = hang != 0 ? (hang + 1) * lay.maxChar / 2 : 0;
    if (lay.indent >= view->width) lay.indent = 0;
    status = LayOutText(&lay, text, rec, column);
  }
  EndTable(&lay);
  if (status == 0) {
    view->text = text;
    ComputeMaxTopLine(view);
  }
  if (lay.kept != nullptr) SelectObject(view->surface, lay.kept);
  return status == 0 ? LAYOUT_DONE : LAYOUT_NO_MEMORY;
}

int GrowLineTable(ArticleView* view, int line) {
  if (view->lines == nullptr) return -2;
  int capacity = view->lineCapacity;
  int grown = std::min(capacity + kGrowStep, kMaxLines);
  LineRecord* lines = grown > capacity ? AllocateLines(grown) : nullptr;
  if (lines == nullptr) {
    std::memset(&view->lines[line], 0, sizeof(LineRecord));
    return -2;
  }
  std::memcpy(lines, view->lines, capacity * sizeof(LineRecord));
  LocalFree(view->lines);
  view->lines = lines;
  view->lineCapacity = static_cast<WORD>(grown);
  return 0;
}

void ComputeMaxTopLine(ArticleView* view) {
  if (view->lines == nullptr || view->totalLines == 0 || view->lineCount == 0) return;
  int room = static_cast<int16_t>(view->height), count = 0;
  for (int r = view->lineCount - 1; r >= 0; --r) {
    const LineRecord& line = view->lines[r];
    if (line.height > room) break;
    room -= line.height;
    ++count;
    if (line.flags & PF_BLANK_AFTER) {
      room -= line.height;
      ++count;
    }
  }
  // The last blank line counted did not fit.
  if (room < 0 && count > 0) --count;
  view->maxTopLine = static_cast<WORD>(std::max(view->totalLines - count, 0));
}

int LineOfOffset(ArticleView* view, unsigned offset) {
  if (view == nullptr || view->lines == nullptr) return 0;
  int d = 0;
  for (const LineRecord* line = view->lines; line->flags != 0; ++line) {
    if (line->offset <= offset && offset <= static_cast<unsigned>(line->offset) + line->length) {
      view->topLine = static_cast<WORD>(std::min(d, static_cast<int>(view->maxTopLine)));
      return 1;
    }
    d += (line->flags & PF_BLANK_AFTER) ? 2 : 1;
  }
  return 0;
}
