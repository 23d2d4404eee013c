// The app's menu, menu-bar description, toolbar bitmap and strings as the
// menu tests (and the fuzz seeds) use them.
#pragma once

#include <cstdlib>
#include <vector>

#include "platform/bitmap_resource.h"
#include "platform/menus.h"
#include "platform/menus/menu_resource.h"
#include "platform/resource_pack.h"
#include "platform/window/ui_resources.h"

inline std::vector<MenuTemplateItem> AppMenu() {
  const MenuTemplateItem sep{MF_SEPARATOR, 0, u"", {}};
  return {
      {MF_POPUP, 0, u"&Go",
       {{0, 40004, u"&About", {}},
        {0, 129, u"Check For &Updates", {}},
        sep,
        {0, 40006, u"F&ont\bCtrl+F", {}},
        {0, 122, u"Re&verse", {}},
        sep,
        {0, 119, u"&Index\bCtrl+D", {}},
        {0, 123, u"&Bookmark", {}},
        {0, 110, u"&Previous Article", {}},
        {0, 109, u"&Next Article", {}},
        sep,
        {0, 116, u"&Search\bAlt+F3", {}},
        {0, 117, u"Search A&gain\bF3", {}},
        sep,
        {0, 40007, u"&Copy\bCtrl+C", {}},
        {0, 40009, u"&Append to ClipBoard\bCtrl+E", {}},
        sep,
        {0, 40005, u"E&xit\bCtrl+Q", {}}}},
      {MF_POPUP, 0, u"&Korvel",
       {{0, 414, u"1/&4 Screen", {}},
        {0, 413, u"1/&3 Screen", {}},
        {0, 412, u"1/&2 Screen", {}},
        {0, 423, u"2/3 Screen", {}},
        {0, 434, u"3/4 Screen", {}},
        {0, 401, u"&None", {}}}},
  };
}

inline MenuBarDescription AppMenuBar() {
  MenuBarDescription d;
  d.menuId = 102;
  d.buttons = {{kMenuBarNoImage, 40001, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, 302, 0, 0},
               {kMenuBarNoImage, 40003, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, 304, 0, 1}};
  return d;
}

// Bitmap 114: six 16 x 16 images on the grey ground, left to right: arrow
// left, index tree, arrow right, a letter, binoculars, binoculars again.
inline uint8_t ToolbarPixel(int image, int x, int y) {
  constexpr uint8_t kBlack = 1, kBlue = 2;
  int dy = std::abs(y - 8);
  auto lenses = [&](int top) {
    auto in = [&](int cx) { return (x - cx) * (x - cx) + (y - top) * (y - top) <= 12; };
    return in(4) || in(11) || (y == top - 3 && x > 4 && x < 11);
  };
  switch (image) {
    case 0:
    case 2: {
      int ax = image == 0 ? x : 15 - x;
      bool head = ax >= 2 && ax < 8 && dy <= ax - 2;
      bool shaft = ax >= 8 && ax < 14 && dy <= 2;
      return head || shaft ? kBlue : 0;
    }
    case 1:
      if (x == 3 && y >= 1 && y < 15) return kBlack;
      if ((y == 2 || y == 7 || y == 12) && x >= 3 && x < 14) return x > 8 ? kBlue : kBlack;
      return 0;
    case 3:
      if (y >= 2 && y < 14 && std::abs(x - 8) == (14 - y) / 2) return kBlack;
      return y == 10 && std::abs(x - 8) <= 2 ? kBlack : 0;
    case 4:
      return lenses(9) ? kBlack : 0;
    default:
      if (y <= 2 && x >= 4 && x < 12 && (y == 1 || x >= 10)) return kBlue;
      return lenses(11) ? kBlack : 0;
  }
}

inline IndexedBitmap ToolbarStrip() {
  IndexedBitmap b;
  b.width = 96;
  b.height = 16;
  b.bitsPixel = 4;
  b.palette = {0xC0C0C0, 0x000000, 0x000080};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 96; ++x) b.indices.push_back(ToolbarPixel(x / 16, x % 16, y));
  return b;
}

inline std::vector<PackResource> AppResources() {
  std::vector<PackResource> r;
  std::string error;
  std::vector<uint8_t> bytes;
  EncodeMenuResource(AppMenu(), &bytes, &error);
  r.push_back({4, 102, bytes});
  r.push_back({10, 102, EncodeMenuBarDescription(AppMenuBar())});
  EncodeBitmapResource(ToolbarStrip(), &bytes, &error);
  r.push_back({2, 114, bytes});
  EncodeStringResource(u"Go", &bytes, &error);
  r.push_back({6, 302, bytes});
  EncodeStringResource(u"Korvel", &bytes, &error);
  r.push_back({6, 304, bytes});
  return r;
}
