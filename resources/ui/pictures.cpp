#include "resources/ui/pictures.h"

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace ui {
namespace {

constexpr uint8_t kGround = 0, kBlack = 1, kNavy = 2, kWhite = 3, kYellow = 4, kBlue = 5;

using Shape = std::function<bool(int x, int y)>;

// Black where the shape meets anything outside it, `fill` within.
uint8_t Outlined(const Shape& inside, int x, int y, uint8_t fill) {
  if (!inside(x, y)) return kGround;
  bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
  return edge ? kBlack : fill;
}

IndexedBitmap Paint(int width, int height, int bits, std::vector<uint32_t> palette,
                    const std::function<uint8_t(int x, int y)>& pixel) {
  IndexedBitmap b;
  b.width = width;
  b.height = height;
  b.bitsPixel = bits;
  b.palette = std::move(palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.indices.push_back(pixel(x, y));
  return b;
}

// Distance from the middle of a 16-pixel image, doubled so that it stays whole.
int FromMiddle(int v) { return std::abs(2 * v - 15); }

// Pointing left: a head at x 1 to 7, a shaft to x 14.
bool BackArrow(int x, int y) {
  int dy = FromMiddle(y);
  if (x >= 1 && x <= 7) return dy <= 2 * x - 1;
  return x >= 8 && x <= 14 && dy <= 5;
}

// A root with two pages under it, joined by lines.
uint8_t IndexTree(int x, int y) {
  Shape root = [](int px, int py) { return px >= 1 && px <= 7 && py >= 1 && py <= 5; };
  auto page = [](int top) -> Shape {
    return [top](int px, int py) { return px >= 7 && px <= 14 && py >= top && py <= top + 4; };
  };
  if (root(x, y)) return Outlined(root, x, y, kYellow);
  for (const Shape& p : {page(6), page(11)})
    if (p(x, y)) {
      bool line = (y == 8 || y == 13) && x >= 9 && x <= 12;
      return line ? kNavy : Outlined(p, x, y, kWhite);
    }
  bool stem = x == 3 && y >= 6 && y <= 13;
  bool branch = (y == 8 || y == 13) && x >= 4 && x <= 6;
  return stem || branch ? kBlack : kGround;
}

// A serifed capital A.
uint8_t Letter(int x, int y) {
  int dx = FromMiddle(x);
  if (y == 14) return (dx >= 7 && dx <= 15) ? kBlack : kGround;
  if (y < 1 || y > 13) return kGround;
  int outer = y + 1;
  bool leg = dx <= outer && dx >= outer - 5;
  bool bar = (y == 9 || y == 10) && dx <= outer;
  return leg || bar ? kBlack : kGround;
}

// Two barrels joined by a bridge, from row `top` down to row 15.
uint8_t Binoculars(int x, int y, int top) {
  constexpr int bottom = 15;
  auto eyepiece = [top](int px, int py) {
    return py >= top && py <= top + 1 && ((px >= 2 && px <= 5) || (px >= 10 && px <= 13));
  };
  auto barrel = [top](int px, int py) {
    return py >= top + 2 && py <= bottom && ((px >= 1 && px <= 6) || (px >= 9 && px <= 14));
  };
  auto bridge = [top](int px, int py) { return px >= 6 && px <= 9 && py >= top + 3 && py <= top + 5; };
  auto body = [&](int px, int py) { return eyepiece(px, py) || barrel(px, py) || bridge(px, py); };
  if (!body(x, y)) return kGround;
  if (eyepiece(x, y)) return Outlined(eyepiece, x, y, kNavy);
  uint8_t c = Outlined(body, x, y, kNavy);
  if (c == kNavy && y >= bottom - 2) return kWhite;  // the lenses
  return c;
}

// An arc over the top that turns down at the right into a head.
uint8_t TurningArrow(int x, int y) {
  int dx = 2 * x - 13, dy = 2 * y - 11;
  int r2 = dx * dx + dy * dy;
  bool arc = y <= 5 && x <= 10 && r2 >= 64 && r2 <= 144;
  bool head = y >= 3 && y <= 6 && x >= 9 + (y - 3) && x <= 15 - (y - 3);
  return arc || head ? kBlue : kGround;
}

uint8_t ToolbarPixel(int image, int x, int y) {
  switch (image) {
    case 0: return Outlined(BackArrow, x, y, kBlue);
    case 1: return IndexTree(x, y);
    case 2: return Outlined([](int px, int py) { return BackArrow(15 - px, py); }, x, y, kBlue);
    case 3: return Letter(x, y);
    case 4: return Binoculars(x, y, 2);
    default: {
      uint8_t arrow = TurningArrow(x, y);
      return arrow != kGround ? arrow : Binoculars(x, y, 7);
    }
  }
}

// The top edge of an open book's page at distance d from the spine: low at
// the spine, rising quickly to `outerTop` across the page's `width`.
int PageTop(int d, int spineTop, int outerTop, int width) {
  int rest = width - d;
  return outerTop + ((spineTop - outerTop) * rest * rest + width * width / 2) / (width * width);
}

// Lines of text run level across both pages of a book, clear of its edges.
bool TextLine(int y, int d, int top, int bottom, int firstRow, int lastRow, int from, int to) {
  return y >= firstRow && y <= lastRow && (y - firstRow) % 3 == 0 && d >= from && d <= to && y >= top + 3 &&
         y <= bottom - 3;
}

}  // namespace

IndexedBitmap ToolbarStrip() {
  return Paint(kToolbarImages * kToolbarSide, kToolbarSide, 4,
               {0xC0C0C0, 0x000000, 0x000080, 0xFFFFFF, 0xFFFF00, 0x0000FF}, [](int x, int y) {
                 return ToolbarPixel(x / kToolbarSide, x % kToolbarSide, y);
               });
}

// An open book, navy cover under white pages with lines of text.
IconImage ProgramIcon() {
  constexpr uint32_t kClear = 0x00000000, kInk = 0xFF000000, kPaper = 0xFFFFFFFF, kCover = 0xFF000080,
                     kText = 0xFF4060A0;
  auto distance = [](int x) { return std::abs(2 * x - 31) / 2; };
  auto top = [&distance](int x) { return PageTop(distance(x), 9, 6, 14); };
  auto page = [&top](int x, int y) { return x >= 2 && x <= 29 && y >= top(x) && y <= top(x) + 18; };
  IconImage icon;
  icon.width = icon.height = 32;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      uint32_t p = kClear;
      int d = distance(x);
      if (x >= 1 && x <= 30 && y >= top(x) + 3 && y <= top(x) + 21) p = kCover;
      if (page(x, y)) {
        bool edge = !page(x - 1, y) || !page(x + 1, y) || !page(x, y - 1) || !page(x, y + 1) || d == 0;
        p = edge ? kInk : TextLine(y, d, top(x), top(x) + 18, 12, 21, 3, 11) ? kText : kPaper;
      }
      icon.pixels.push_back(p);
    }
  return icon;
}

// An open book with lines of text, its cover showing below the pages.
IndexedBitmap Logo() {
  constexpr int kSpine = 31, kPage = 26;
  auto top = [](int x) { return PageTop(std::abs(x - kSpine), 8, 3, 29); };
  auto page = [&top](int x, int y) { return std::abs(x - kSpine) <= 29 && y >= top(x) && y <= top(x) + kPage; };
  return Paint(63, 40, 1, {0x000000, 0xFFFFFF}, [&](int x, int y) -> uint8_t {
    constexpr uint8_t kInk = 0, kPaper = 1;
    int d = std::abs(x - kSpine);
    if (page(x, y)) {
      bool edge = !page(x - 1, y) || !page(x + 1, y) || !page(x, y - 1) || !page(x, y + 1) || d == 0;
      bool last = y == 26;  // each page's last line ends short
      bool text = TextLine(y, d, top(x), top(x) + kPage, 11, 26, 4, 25) &&
                  (!last || (x < kSpine ? d >= 12 : d <= 17));
      return edge || text ? kInk : kPaper;
    }
    // The cover: a band under the pages, curving with them, a pixel wider.
    bool cover = d <= 30 && y >= top(x) + kPage + 2 && y <= top(x) + kPage + 3;
    bool side = d == 30 && y >= top(x) + 3 && y <= top(x) + kPage + 3;
    return cover || side ? kInk : kPaper;
  });
}

IndexedBitmap IndexIcon(int which) {
  return Paint(9, 9, 1, {0x000000, 0xFFFFFF}, [which](int x, int y) -> uint8_t {
    constexpr uint8_t kInk = 0, kPaper = 1;
    if (which == 2) {
      // A page from x 1 to 8 whose top right corner is folded down.
      bool fold = (x == 5 && y <= 3) || (y == 3 && x >= 5) || (x - y == 5);
      bool outline = (x == 1 || y == 8 || (y == 0 && x <= 5) || (x == 8 && y >= 3));
      bool text = (y == 5 || y == 7) && x >= 3 && x <= 6;
      return x >= 1 && (fold || outline || text) ? kInk : kPaper;
    }
    bool frame = x == 0 || x == 8 || y == 0 || y == 8;
    bool across = y == 4 && x >= 2 && x <= 6;
    bool down = which == 0 && x == 4 && y >= 2 && y <= 6;
    return frame || across || down ? kInk : kPaper;
  });
}

}  // namespace ui
