// Faces: fontconfig lists them once, FreeType opens, measures and renders
// them, and "Test Fixed" is built in (gdi.h defines it).
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/font.h"

namespace gdi {

struct Face {
  FT_Face face = nullptr;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
  }
};

namespace {

constexpr char16_t kTestFixed[] = u"Test Fixed";
constexpr int kDefaultCell = 16;
constexpr size_t kMaxCachedGlyph = 128 * 128;

struct FaceInfo {
  std::string file;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  int width = FC_WIDTH_NORMAL;
  int formatRank = 2;  // TrueType before CFF before the rest
  bool hebrew = false;
  std::vector<std::u16string> names;
};

struct Family {
  std::u16string name;
  bool hebrew = false;
};

struct Catalogue {
  std::vector<FaceInfo> faces;
  std::vector<Family> families;  // sorted, Test Fixed among them
};

// Never destroyed, like the object table whose fonts use it.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

std::u16string FromUtf8(const char* s) {
  std::u16string out;
  auto p = reinterpret_cast<const unsigned char*>(s);
  while (*p != 0) {
    uint32_t c = *p++;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
    for (; more > 0 && (*p & 0xC0) == 0x80; --more) c = c << 6 | (*p++ & 0x3F);
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Face names compare without regard to ASCII case, over the units a
// LOGFONTW can hold.
bool SameName(const std::u16string& a, const std::u16string& b) {
  size_t n = std::min<size_t>(std::max(a.size(), b.size()), LF_FACESIZE - 1);
  for (size_t i = 0; i < n; ++i) {
    char16_t x = i < a.size() ? a[i] : 0, y = i < b.size() ? b[i] : 0;
    if (Fold(x) != Fold(y)) return false;
  }
  return true;
}

bool CoversHebrew(FcCharSet* set) {
  for (FcChar32 c = 0x5D0; c <= 0x5EA; ++c)
    if (!FcCharSetHasChar(set, c)) return false;
  return true;
}

int Rank(const FaceInfo& f, bool bold, bool italic) {
  int wantWeight = bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
  bool slanted = f.slant != FC_SLANT_ROMAN;
  return std::abs(f.width - FC_WIDTH_NORMAL) * 1000 + (slanted != italic) * 100000 +
         std::abs(f.weight - wantWeight) * 10 + f.formatRank;
}

Catalogue Load() {
  Catalogue c;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT,
                                          FC_WIDTH, FC_CHARSET, FC_FONTFORMAT, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  for (int i = 0; set != nullptr && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcChar8* text = nullptr;
    if (FcPatternGetString(p, FC_FILE, 0, &text) != FcResultMatch) continue;
    FaceInfo f;
    f.file = reinterpret_cast<const char*>(text);
    FcPatternGetInteger(p, FC_INDEX, 0, &f.index);
    FcPatternGetInteger(p, FC_WEIGHT, 0, &f.weight);
    FcPatternGetInteger(p, FC_SLANT, 0, &f.slant);
    FcPatternGetInteger(p, FC_WIDTH, 0, &f.width);
    if (FcPatternGetString(p, FC_FONTFORMAT, 0, &text) == FcResultMatch) {
      std::string format = reinterpret_cast<const char*>(text);
      f.formatRank = format == "TrueType" ? 0 : format == "CFF" ? 1 : 2;
    }
    FcCharSet* chars = nullptr;
    f.hebrew = FcPatternGetCharSet(p, FC_CHARSET, 0, &chars) == FcResultMatch && CoversHebrew(chars);
    for (int n = 0; FcPatternGetString(p, FC_FAMILY, n, &text) == FcResultMatch; ++n)
      f.names.push_back(FromUtf8(reinterpret_cast<const char*>(text)));
    if (!f.names.empty()) c.faces.push_back(std::move(f));
  }
  if (set != nullptr) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  // Everything needed is copied out; fontconfig's own state goes at exit.
  std::atexit(FcFini);
  // Families go by their first name; the others still find them.
  std::map<std::u16string, Family> families;
  families[kTestFixed] = {kTestFixed, true};
  for (const FaceInfo& f : c.faces) {
    Family& family = families[f.names[0]];
    family.name = f.names[0];
    family.hebrew = family.hebrew || f.hebrew;
  }
  for (auto& [name, family] : families) c.families.push_back(family);
  return c;
}

Catalogue& TheCatalogue() {
  static Catalogue* catalogue = new Catalogue(Load());
  return *catalogue;
}

const std::u16string* NameOf(const FaceInfo& f, const std::u16string& name) {
  for (const std::u16string& n : f.names)
    if (SameName(n, name)) return &n;
  return nullptr;
}

// The best face of a family for the weight and slant, or nothing.
const FaceInfo* FindFace(const std::u16string& name, bool bold, bool italic) {
  const FaceInfo* best = nullptr;
  for (const FaceInfo& f : TheCatalogue().faces) {
    if (NameOf(f, name) != nullptr &&
        (best == nullptr || Rank(f, bold, italic) < Rank(*best, bold, italic)))
      best = &f;
  }
  return best;
}

// The face for a name that names nothing, or for no name: Hebrew text gets a
// book face, anything else the sans face; both cover the Hebrew letters.
const FaceInfo* DefaultFace(bool hebrewText, bool bold, bool italic) {
  const char16_t* preferred[] = {hebrewText ? u"David CLM" : u"DejaVu Sans", u"DejaVu Sans"};
  for (const char16_t* name : preferred)
    if (const FaceInfo* f = FindFace(name, bold, italic)) return f;
  for (const Family& family : TheCatalogue().families)
    if (family.hebrew && family.name != kTestFixed)
      if (const FaceInfo* f = FindFace(family.name, bold, italic)) return f;
  const std::vector<FaceInfo>& faces = TheCatalogue().faces;
  return faces.empty() ? nullptr : &faces.front();
}

std::shared_ptr<Face> OpenFace(const FaceInfo& info) {
  static auto* open = new std::map<std::pair<std::string, int>, std::weak_ptr<Face>>;
  std::weak_ptr<Face>& slot = (*open)[{info.file, info.index}];
  if (std::shared_ptr<Face> face = slot.lock()) return face;
  if (Library() == nullptr) return nullptr;
  auto face = std::make_shared<Face>();
  if (FT_New_Face(Library(), info.file.c_str(), info.index, &face->face) != 0) {
    face->face = nullptr;
    return nullptr;
  }
  if (!FT_IS_SCALABLE(face->face)) return nullptr;
  FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
  slot = face;
  return face;
}

int Round(double v) { return static_cast<int>(std::lround(v)); }

// The cell height asked for: lfHeight > 0 is the cell, < 0 the em, 0 the
// default cell.
int CellOf(LONG height) { return height == 0 ? kDefaultCell : height > 0 ? height : -height; }

std::shared_ptr<FontInstance> Instance(const FaceInfo& info, const LOGFONTW& asked, bool bold) {
  std::shared_ptr<Face> face = OpenFace(info);
  if (!face) return nullptr;
  FT_Face f = face->face;
  double units = f->units_per_EM > 0 ? f->units_per_EM : 2048;
  double ascender = f->ascender, descender = -f->descender;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    ascender = os2->usWinAscent;
    descender = os2->usWinDescent;
  }
  if (ascender + descender <= 0) ascender = units * 0.8, descender = units * 0.2;
  int ppem, ascent, descent;
  if (asked.lfHeight >= 0) {
    int cell = CellOf(asked.lfHeight);
    ppem = std::max(1, Round(cell * units / (ascender + descender)));
    ascent = Round(cell * ascender / (ascender + descender));
    descent = cell - ascent;
  } else {
    ppem = -asked.lfHeight;
    ascent = Round(ascender * ppem / units);
    descent = std::max(0, Round(descender * ppem / units));
    ascent = std::max(ascent, 1);
  }
  bool synthetic = bold && info.weight < FC_WEIGHT_DEMIBOLD;
  return std::make_shared<FontInstance>(face, ppem, ascent, descent, synthetic, info.hebrew);
}

}  // namespace

// Test Fixed, with h its cell height.
FontInstance::FontInstance(int h) {
  fixedAdvance_ = std::max(1, h / 2);
  TEXTMETRICW& m = metrics_;
  m.tmHeight = h;
  m.tmAscent = h - h / 4;
  m.tmDescent = h / 4;
  m.tmAveCharWidth = m.tmMaxCharWidth = fixedAdvance_;
  m.tmWeight = FW_NORMAL;
  m.tmDigitizedAspectX = m.tmDigitizedAspectY = 96;
  m.tmFirstChar = 0x20;
  m.tmLastChar = 0xFFFC;
  m.tmDefaultChar = m.tmBreakChar = 0x20;
  m.tmCharSet = HEBREW_CHARSET;
  underlineTop_ = h - 1;
  underlineHeight_ = 1;
}

FontInstance::FontInstance(std::shared_ptr<Face> face, int ppem, int ascent, int descent,
                           bool syntheticBold, bool hebrew)
    : face_(std::move(face)) {
  FT_Face f = face_->face;
  FT_Size size = nullptr;
  if (FT_New_Size(f, &size) == 0) {
    size_ = size;
    FT_Activate_Size(size);
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(ppem));
  }
  // Synthetic bold thickens each stem by about a twentieth of the em, at
  // least a pixel, and widens the advance as much.
  if (syntheticBold) emboldenStrength_ = 64 * std::max(1, Round(ppem / 20.0));
  int extra = emboldenStrength_ / 64;
  double scale = static_cast<double>(ppem) / (f->units_per_EM > 0 ? f->units_per_EM : 2048);
  TEXTMETRICW& m = metrics_;
  m.tmAscent = ascent;
  m.tmDescent = descent;
  m.tmHeight = ascent + descent;
  m.tmInternalLeading = std::max(0, m.tmHeight - ppem);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  m.tmAveCharWidth = os2 != nullptr && os2->xAvgCharWidth > 0 ? Round(os2->xAvgCharWidth * scale) + extra
                                                               : Advance(u'x');
  m.tmMaxCharWidth = std::max<LONG>(Round(f->max_advance_width * scale) + extra, m.tmAveCharWidth);
  m.tmWeight = syntheticBold ? FW_BOLD : FW_NORMAL;
  m.tmDigitizedAspectX = m.tmDigitizedAspectY = 96;
  m.tmFirstChar = 0x20;
  m.tmLastChar = 0xFFFC;
  m.tmDefaultChar = m.tmBreakChar = 0x20;
  m.tmPitchAndFamily = 0x07;  // variable pitch, vector, TrueType
  m.tmCharSet = hebrew ? HEBREW_CHARSET : ANSI_CHARSET;
  underlineHeight_ = std::max(1, Round(f->underline_thickness * scale));
  underlineTop_ = ascent + std::max(1, Round(-f->underline_position * scale)) - underlineHeight_ / 2;
  underlineTop_ = std::clamp(underlineTop_, 0, std::max(0, m.tmHeight - underlineHeight_));
}

FontInstance::~FontInstance() {
  if (size_ != nullptr) FT_Done_Size(static_cast<FT_Size>(size_));
}

bool FontInstance::LoadGlyph(char16_t c, bool render, int* advance, Glyph* glyph) {
  if (size_ == nullptr) return false;
  FT_Face f = face_->face;
  FT_Activate_Size(static_cast<FT_Size>(size_));
  if (FT_Load_Glyph(f, FT_Get_Char_Index(f, c), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = f->glyph;
  if (emboldenStrength_ > 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE)
    FT_Outline_EmboldenXY(&slot->outline, emboldenStrength_, 0);
  *advance = static_cast<int>((slot->advance.x + 32) >> 6) + emboldenStrength_ / 64;
  if (!render) return true;
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_Bitmap& b = slot->bitmap;
  glyph->left = slot->bitmap_left;
  glyph->top = metrics_.tmAscent - slot->bitmap_top;
  glyph->width = static_cast<int>(b.width);
  glyph->height = static_cast<int>(b.rows);
  glyph->coverage.assign(static_cast<size_t>(glyph->width) * glyph->height, 0);
  for (int y = 0; y < glyph->height; ++y) {
    const unsigned char* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
    for (int x = 0; x < glyph->width; ++x) {
      uint8_t v = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x / 8] >> (7 - x % 8)) & 1) * 255
                                                     : row[x];
      glyph->coverage[static_cast<size_t>(y) * glyph->width + x] = v;
    }
  }
  return true;
}

int FontInstance::LoadAdvance(char16_t c) {
  std::unique_ptr<int32_t[]>& page = advances_[c >> 8];
  if (!page) {
    page = std::make_unique<int32_t[]>(256);
    std::fill(page.get(), page.get() + 256, -1);
  }
  int advance = 0;
  if (!LoadGlyph(c, false, &advance, nullptr)) advance = 0;
  page[c & 0xFF] = std::max(advance, 0);
  return page[c & 0xFF];
}

const Glyph& FontInstance::GlyphOf(char16_t c) {
  auto it = glyphs_.find(c);
  if (it != glyphs_.end()) return it->second;
  Glyph g;
  int advance = 0;
  if (!LoadGlyph(c, true, &advance, &g)) g = Glyph{};
  // Glyphs of giant sizes are drawn afresh each time rather than kept.
  if (g.coverage.size() > kMaxCachedGlyph) {
    uncached_ = std::move(g);
    return uncached_;
  }
  return glyphs_.emplace(c, std::move(g)).first->second;
}

void FontInstance::DrawGlyph(const Target& t, int64_t x, int64_t y, char16_t c, uint32_t colour) {
  if (fixedAdvance_ > 0) {
    if (c == u' ') return;
    // A one-pixel box: from the cell's left edge to a column short of the
    // advance, from a row below the cell top to a row above its bottom.
    Box box{x, y + 1, x + std::max(1, fixedAdvance_ - 1), y + 1 + std::max(1, metrics_.tmHeight - 2)};
    Fill(t, {box.left, box.top, box.right, box.top + 1}, colour);
    Fill(t, {box.left, box.bottom - 1, box.right, box.bottom}, colour);
    Fill(t, {box.left, box.top, box.left + 1, box.bottom}, colour);
    Fill(t, {box.right - 1, box.top, box.right, box.bottom}, colour);
    return;
  }
  const Glyph& g = GlyphOf(c);
  Box ink = Intersect({x + g.left, y + g.top, x + g.left + g.width, y + g.top + g.height}, t.clip);
  for (int64_t py = ink.top; py < ink.bottom; ++py) {
    const uint8_t* row = &g.coverage[static_cast<size_t>((py - y - g.top) * g.width)];
    for (int64_t px = ink.left; px < ink.right; ++px) {
      uint8_t a = row[px - x - g.left];
      if (a != 0) Blend(t.At(px, py), colour, a);
    }
  }
}

std::shared_ptr<FontInstance> OpenFont(const LOGFONTW& asked, LOGFONTW* chosen) {
  LOGFONTW result = asked;
  size_t length = 0;
  while (length < LF_FACESIZE && asked.lfFaceName[length] != 0) ++length;
  std::u16string name(asked.lfFaceName, length);
  bool bold = asked.lfWeight >= 600, italic = asked.lfItalic != 0;
  std::shared_ptr<FontInstance> font;
  std::u16string face = kTestFixed;
  if (!SameName(name, kTestFixed)) {
    const FaceInfo* info = name.empty() ? nullptr : FindFace(name, bold, italic);
    if (info != nullptr) face = *NameOf(*info, name);
    else if ((info = DefaultFace(asked.lfCharSet == HEBREW_CHARSET, bold, italic)) != nullptr)
      face = info->names[0];
    if (info != nullptr) font = Instance(*info, asked, bold);
  }
  if (!font) {
    face = kTestFixed;
    font = std::make_shared<FontInstance>(CellOf(asked.lfHeight));
  }
  std::fill(std::begin(result.lfFaceName), std::end(result.lfFaceName), 0);
  std::copy_n(face.begin(), std::min<size_t>(face.size(), LF_FACESIZE - 1), result.lfFaceName);
  *chosen = result;
  return font;
}

int EnumerateFamilies(LPCWSTR family, FONTENUMPROCW callback, LPARAM param) {
  std::u16string wanted;
  if (family != nullptr)
    for (size_t i = 0; i < LF_FACESIZE && family[i] != 0; ++i) wanted.push_back(family[i]);
  int result = 1;
  for (const Family& f : TheCatalogue().families) {
    if (family != nullptr && !SameName(f.name, wanted)) continue;
    LOGFONTW asked{};
    asked.lfWeight = FW_NORMAL;
    std::copy_n(f.name.begin(), std::min<size_t>(f.name.size(), LF_FACESIZE - 1), asked.lfFaceName);
    LOGFONTW lf{};
    std::shared_ptr<FontInstance> font = OpenFont(asked, &lf);
    TEXTMETRICW tm = font->Metrics();
    lf.lfHeight = tm.tmHeight;
    lf.lfCharSet = f.hebrew ? HEBREW_CHARSET : ANSI_CHARSET;
    tm.tmCharSet = lf.lfCharSet;
    result = callback(&lf, &tm, TRUETYPE_FONTTYPE, param);
    if (result == 0) break;
  }
  return result;
}

}  // namespace gdi
