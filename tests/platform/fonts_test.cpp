// Real faces found by fontconfig and drawn by FreeType. They rely on DejaVu
// and Culmus being installed (scripts/install-deps installs them).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas.h"
#include "case_name.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

struct FaceCase {
  const char* name;
  const char16_t* face;
};

const FaceCase kFaces[] = {{"DejaVu Sans", u"DejaVu Sans"}, {"David CLM", u"David CLM"}};

class RealFace : public ::testing::TestWithParam<FaceCase> {};

TEST_P(RealFace, CellHeightIsTheHeightAskedFor) {
  Canvas canvas(1, 1);
  for (LONG height : {0, 8, 11, 12, 16, 20, 24, 33}) {
    SCOPED_TRACE(height);
    ScopedFont font(canvas.dc(), GetParam().face, height);
    EXPECT_EQ(font.Face(), GetParam().face);
    TEXTMETRICW tm = font.Metrics();
    EXPECT_NEAR(tm.tmHeight, height == 0 ? 16 : height, 1);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GT(tm.tmDescent, 0);
    EXPECT_EQ(tm.tmCharSet, HEBREW_CHARSET);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    SIZE size{};
    GetTextExtentPoint32W(canvas.dc(), u"x", 1, &size);
    EXPECT_EQ(size.cy, tm.tmHeight);
  }
}

TEST_P(RealFace, ANegativeHeightIsTheCharacterHeight) {
  Canvas canvas(1, 1);
  for (LONG em : {10, 16, 27}) {
    SCOPED_TRACE(em);
    ScopedFont font(canvas.dc(), GetParam().face, -em);
    TEXTMETRICW tm = font.Metrics();
    EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, em, 1);
    EXPECT_GE(tm.tmHeight, em);
  }
}

TEST_P(RealFace, ExtentsAgreeWithTheirEnds) {
  Canvas canvas(1, 1);
  ScopedFont font(canvas.dc(), GetParam().face, 18);
  const std::u16string text = u"Shalom \u05E9\u05DC\u05D5\u05DD, world";
  const int n = static_cast<int>(text.size());
  std::vector<int> dx(text.size());
  SIZE whole{};
  ASSERT_TRUE(GetTextExtentExPointW(canvas.dc(), text.data(), n, 0, nullptr, dx.data(), &whole));
  EXPECT_EQ(whole.cx, dx.back());
  EXPECT_TRUE(std::is_sorted(dx.begin(), dx.end()));
  for (int limit : {0, dx[0] - 1, dx[0], dx[5], dx[5] + 1, dx[n - 2], whole.cx, whole.cx + 50}) {
    SCOPED_TRACE(limit);
    int fit = -1;
    SIZE size{};
    GetTextExtentExPointW(canvas.dc(), text.data(), n, limit, &fit, nullptr, &size);
    EXPECT_EQ(fit, std::upper_bound(dx.begin(), dx.end(), limit) - dx.begin());
    EXPECT_EQ(size.cx, whole.cx);
    SIZE part{};
    GetTextExtentPoint32W(canvas.dc(), text.data(), fit, &part);
    EXPECT_EQ(part.cx, fit == 0 ? 0 : dx[fit - 1]) << "the run measured alone is as wide";
  }
}

TEST_P(RealFace, AHebrewLetterHasInkInsideItsAdvance) {
  Canvas canvas(40, 30);
  ScopedFont font(canvas.dc(), GetParam().face, 24);
  SetBkMode(canvas.dc(), TRANSPARENT);
  for (char16_t letter : {u'\u05D0', u'\u05E9', u'\u05DD'}) {
    SCOPED_TRACE(static_cast<int>(letter));
    canvas.Clear(kWhite);
    SIZE size{};
    GetTextExtentPoint32W(canvas.dc(), &letter, 1, &size);
    ASSERT_GT(size.cx, 4);
    ExtTextOutW(canvas.dc(), 5, 2, 0, nullptr, &letter, 1, nullptr);
    RECT ink = canvas.Ink();
    EXPECT_GT(ink.right - ink.left, size.cx / 3) << "a letter, not a sliver or nothing";
    EXPECT_GE(ink.left, 5 - 1);
    EXPECT_LE(ink.right, 5 + size.cx + 1);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.bottom, 2 + size.cy);
  }
}

TEST_P(RealFace, GlyphsAreAntiAliasedInTheTextColour) {
  Canvas canvas(40, 30);
  ScopedFont font(canvas.dc(), GetParam().face, 24);
  SetTextColor(canvas.dc(), RGB(255, 0, 0));
  ExtTextOutW(canvas.dc(), 2, 2, 0, nullptr, u"O\u05E1", 2, nullptr);
  int full = 0, partial = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      COLORREF c = canvas.At(x, y);
      ASSERT_EQ(GetRValue(c), 255) << "only white and red mix here";
      ASSERT_EQ(GetGValue(c), GetBValue(c));
      if (GetGValue(c) == 0) ++full;
      else if (GetGValue(c) < 255) ++partial;
    }
  }
  EXPECT_GT(full, 10);
  EXPECT_GT(partial, 10) << "edges blend the colour with the ground";
}

TEST_P(RealFace, GiantGlyphsAreDrawnToo) {
  Canvas canvas(80, 80);
  ScopedFont font(canvas.dc(), GetParam().face, 600);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SIZE size{};
  GetTextExtentPoint32W(canvas.dc(), u"\u05D0", 1, &size);
  // The middle of the aleph, where its diagonal runs, in the middle of the canvas.
  int x = 40 - size.cx / 2, y = 40 - font.Metrics().tmAscent * 2 / 3;
  for (int pass = 0; pass < 2; ++pass) {
    canvas.Clear(kWhite);
    ExtTextOutW(canvas.dc(), x, y, 0, nullptr, u"\u05D0", 1, nullptr);
    EXPECT_GT(80 * 80 - canvas.Count(kWhite), 200) << "pass " << pass;
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, RealFace, ::testing::ValuesIn(kFaces), ByCaseName());

// Darkness: the sum over the pixels of how far each is from white.
long Darkness(const Canvas& canvas) {
  long sum = 0;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) sum += 255 - GetGValue(canvas.At(x, y));
  return sum;
}

struct BoldCase {
  const char* name;
  const char16_t* face;
  const char16_t* text;
};

class Bold : public ::testing::TestWithParam<BoldCase> {};

TEST_P(Bold, MakesGlyphsWiderOrDarker) {
  const BoldCase& c = GetParam();
  long darkness[2];
  LONG width[2];
  for (int bold = 0; bold < 2; ++bold) {
    Canvas canvas(120, 30);
    ScopedFont font(canvas.dc(), c.face, 20, bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(font.Face(), c.face);
    EXPECT_EQ(font.Metrics().tmWeight, bold ? FW_BOLD : FW_NORMAL);
    SIZE size{};
    int n = static_cast<int>(std::u16string(c.text).size());
    GetTextExtentPoint32W(canvas.dc(), c.text, n, &size);
    width[bold] = size.cx;
    ExtTextOutW(canvas.dc(), 2, 2, 0, nullptr, c.text, n, nullptr);
    darkness[bold] = Darkness(canvas);
  }
  EXPECT_GE(width[1], width[0]);
  EXPECT_GT(darkness[1], darkness[0] * 11 / 10) << "regular " << darkness[0] << ", bold " << darkness[1];
}

// Stam Sefarad CLM has no bold face: the platform thickens its glyphs.
INSTANTIATE_TEST_SUITE_P(
    Fonts, Bold,
    ::testing::Values(BoldCase{"DejaVu Sans", u"DejaVu Sans", u"Hello \u05D0\u05D1"},
                      BoldCase{"David CLM", u"David CLM", u"\u05E9\u05DC\u05D5\u05DD"},
                      BoldCase{"synthesised", u"Stam Sefarad CLM", u"\u05E9\u05DC\u05D5\u05DD"}),
    ByCaseName());

TEST(Fonts, SyntheticBoldWidensEveryAdvanceByTheSameAmount) {
  Canvas canvas(1, 1);
  const std::u16string text = u"\u05D0\u05D1\u05D2\u05D3";
  std::vector<int> regular(text.size()), bold(text.size());
  {
    ScopedFont font(canvas.dc(), u"Stam Sefarad CLM", 20);
    GetTextExtentExPointW(canvas.dc(), text.data(), 4, 0, nullptr, regular.data(), nullptr);
  }
  ScopedFont font(canvas.dc(), u"Stam Sefarad CLM", 20, FW_BOLD);
  GetTextExtentExPointW(canvas.dc(), text.data(), 4, 0, nullptr, bold.data(), nullptr);
  int extra = bold[0] - regular[0];
  EXPECT_GE(extra, 1);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(bold[i] - regular[i], extra * (i + 1)) << i;
}

TEST(Fonts, UnknownOrEmptyNamesFallBackToAFaceWithTheHebrewLetters) {
  struct Case {
    const char16_t* asked;
    BYTE charSet;
    const char16_t* chosen;
  } cases[] = {
      {u"No Such Face Anywhere", ANSI_CHARSET, u"DejaVu Sans"},
      {u"No Such Face Anywhere", HEBREW_CHARSET, u"David CLM"},
      {u"", HEBREW_CHARSET, u"David CLM"},
      {u"", ANSI_CHARSET, u"DejaVu Sans"},
      {u"Tahoma", DEFAULT_CHARSET, u"DejaVu Sans"},
      {u"dejavu sans mono", HEBREW_CHARSET, u"DejaVu Sans Mono"},
  };
  Canvas canvas(1, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.asked, c.asked + std::u16string(c.asked).size())
                                    << " charset " << int{c.charSet});
    ScopedFont font(canvas.dc(), c.asked, 14, FW_NORMAL, c.charSet);
    EXPECT_EQ(font.Face(), c.chosen);
    EXPECT_EQ(font.Metrics().tmCharSet, std::u16string(c.chosen) == u"DejaVu Sans Mono" ? ANSI_CHARSET
                                                                                   : HEBREW_CHARSET)
        << "a named face is kept even without the letters";
  }
}

TEST(Fonts, TheSystemFontIsTheDefaultFace) {
  Canvas canvas(1, 1);
  LOGFONTW lf{};
  EXPECT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"DejaVu Sans");
  TEXTMETRICW tm{};
  GetTextMetricsW(canvas.dc(), &tm);
  EXPECT_EQ(tm.tmHeight, 16);
}

struct Listed {
  std::u16string face;
  BYTE charSet;
  LONG height;
  DWORD type;
};

int Collect(const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM param) {
  auto* out = reinterpret_cast<std::vector<Listed>*>(param);
  out->push_back({lf->lfFaceName, lf->lfCharSet, tm->tmHeight, type});
  EXPECT_EQ(lf->lfCharSet, tm->tmCharSet);
  return static_cast<int>(out->size()) + 1;
}

TEST(Fonts, EnumerationListsEveryFamilyOnceInOrder) {
  Canvas canvas(1, 1);
  std::vector<Listed> listed;
  int last = EnumFontFamiliesW(canvas.dc(), nullptr, Collect, reinterpret_cast<LPARAM>(&listed));
  ASSERT_GE(listed.size(), 3u);
  EXPECT_EQ(last, static_cast<int>(listed.size()) + 1) << "the callback's last answer";
  EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(),
                             [](const Listed& a, const Listed& b) { return a.face < b.face; }));
  EXPECT_TRUE(std::adjacent_find(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
                return a.face == b.face;
              }) == listed.end());
  struct Case {
    const char16_t* face;
    BYTE charSet;
  } expected[] = {{u"Test Fixed", HEBREW_CHARSET},
                  {u"DejaVu Sans", HEBREW_CHARSET},
                  {u"David CLM", HEBREW_CHARSET},
                  {u"Frank Ruehl CLM", HEBREW_CHARSET},
                  {u"DejaVu Sans Mono", ANSI_CHARSET}};
  for (const Case& c : expected) {
    auto it = std::find_if(listed.begin(), listed.end(), [&](const Listed& l) { return l.face == c.face; });
    ASSERT_NE(it, listed.end()) << "missing a family";
    EXPECT_EQ(it->charSet, c.charSet);
    EXPECT_EQ(it->type, static_cast<DWORD>(TRUETYPE_FONTTYPE));
  }
  // Every listed family makes a font that is itself.
  for (const Listed& l : listed) {
    ScopedFont font(canvas.dc(), l.face, l.height);
    EXPECT_EQ(font.Face(), l.face.substr(0, LF_FACESIZE - 1));
    EXPECT_EQ(font.Metrics().tmHeight, l.height);
  }
}

TEST(Fonts, EnumerationStopsWhenTheCallbackSaysSoAndFindsOneFamilyByName) {
  struct Case {
    const char16_t* family;
    int stopAfter;  // calls before the callback answers 0; -1 never
    size_t calls;
    int result;
  } cases[] = {
      {nullptr, 2, 2, 0},
      {nullptr, 1, 1, 0},
      {u"David CLM", -1, 1, 2},
      {u"test fixed", -1, 1, 2},
      {u"No Such Family", -1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "stop after " << c.stopAfter << ", calls " << c.calls);
    struct State {
      int stopAfter;
      size_t calls = 0;
    } state{c.stopAfter};
    int result = EnumFontFamiliesW(
        nullptr, c.family,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) {
          auto* s = reinterpret_cast<State*>(p);
          ++s->calls;
          return static_cast<int>(s->calls) == s->stopAfter ? 0 : 2;
        },
        reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(state.calls, c.calls);
    EXPECT_EQ(result, c.result);
  }
  EXPECT_EQ(EnumFontFamiliesW(reinterpret_cast<HDC>(0x20), nullptr, Collect, 0), 0);
}

}  // namespace
