// demo_resources OUT.cpp: the demonstration's resources (menu, menu-bar
// description, strings, dialog template, bitmaps, icon, accelerators) as a
// resource pack, written as a C++ source that embeds it.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "demo_ids.h"
#include "platform/bitmap_resource.h"
#include "platform/controls.h"
#include "platform/controls/dialog_template.h"
#include "platform/dialogs.h"
#include "platform/menus.h"
#include "platform/menus/menu_resource.h"
#include "platform/resource_pack.h"
#include "platform/window/ui_resources.h"
#include "tools/book/book_output.h"

namespace {

constexpr uint16_t kMenu = 4, kRcData = 10, kBitmap = 2, kIcon = 3, kString = 6, kAccelerator = 9,
                   kDialog = 5;

std::vector<MenuTemplateItem> Menu() {
  const MenuTemplateItem sep{MF_SEPARATOR, 0, u"", {}};
  return {{MF_POPUP, 0, u"&Demo",
           {{0, IDM_DIALOG, u"&Dialog...\bCtrl+D", {}},
            {0, IDM_MESSAGE, u"&Message Box\bCtrl+M", {}},
            sep,
            {0, IDM_EXIT, u"E&xit\bCtrl+Q", {}}}},
          {MF_POPUP, 0, u"&View",
           {{0, IDM_GRID, u"&Grid\bCtrl+G", {}},
            sep,
            {0, IDM_SMALL, u"&Small Text", {}},
            {0, IDM_LARGE, u"&Large Text", {}}}}};
}

MenuBarDescription MenuBar() {
  MenuBarDescription d;
  d.menuId = IDR_MENU;
  const uint16_t dropDown = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
  d.buttons = {{kMenuBarNoImage, IDM_DEMO, TBSTATE_ENABLED, dropDown, IDS_DEMO_MENU, 0, 0},
               {kMenuBarNoImage, IDM_VIEW, TBSTATE_ENABLED, dropDown, IDS_VIEW_MENU, 0, 1}};
  return d;
}

// Three 16 x 16 images on the grey that lets the button show through: a
// dialog, a grid and a speech bubble.
uint8_t ToolbarPixel(int image, int x, int y) {
  constexpr uint8_t kGround = 0, kBlack = 1, kNavy = 2, kWhite = 3;
  switch (image) {
    case 0:
      if (x < 1 || x > 14 || y < 2 || y > 13) return kGround;
      if (x == 1 || x == 14 || y == 13) return kBlack;
      return y <= 4 ? kNavy : kWhite;
    case 1:
      if (x < 2 || x > 13 || y < 2 || y > 13) return kGround;
      return (x - 2) % 4 == 0 || (y - 2) % 4 == 0 || x == 13 || y == 13 ? kBlack : kWhite;
    default: {
      bool tail = y >= 11 && y <= 14 && x >= 4 && x <= 4 + (14 - y);
      bool body = x >= 1 && x <= 14 && y >= 1 && y <= 10;
      if (!body && !tail) return kGround;
      bool edge = (body && (x == 1 || x == 14 || y == 1 || (y == 10 && !(x >= 5 && x <= 6)))) ||
                  (tail && !body && (x == 4 || x == 4 + (14 - y)));
      if (edge) return kBlack;
      return y >= 4 && y <= 7 && x >= 4 && x <= 11 && (y == 4 || y == 7 || x % 3 == 0) ? kNavy : kWhite;
    }
  }
}

// A 4-bit bitmap of the palette's colours, each pixel's index from `pixel`.
IndexedBitmap Indexed(int width, int height, std::vector<uint32_t> palette,
                      const std::function<uint8_t(int, int)>& pixel) {
  IndexedBitmap b;
  b.width = width;
  b.height = height;
  b.bitsPixel = 4;
  b.palette = std::move(palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.indices.push_back(pixel(x, y));
  return b;
}

IndexedBitmap Toolbar() {
  return Indexed(48, 16, {0xC0C0C0, 0x000000, 0x000080, 0xFFFFFF},
                 [](int x, int y) { return ToolbarPixel(x / 16, x % 16, y); });
}

// A 32 x 32 picture: sky, sun and a hill.
IndexedBitmap Picture() {
  return Indexed(32, 32, {0x87CEEB, 0xFFD700, 0x2E8B57, 0x000000}, [](int x, int y) {
    uint8_t c = 0;
    if ((x - 22) * (x - 22) + (y - 9) * (y - 9) <= 25) c = 1;
    if (y >= 20 + (x - 12) * (x - 12) / 40) c = 2;
    if (x == 0 || y == 0 || x == 31 || y == 31) c = 3;
    return c;
  });
}

// A closed book, navy with white pages, on a transparent ground with soft corners.
IconImage Icon() {
  IconImage icon;
  icon.width = icon.height = 32;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      uint32_t p = 0;
      if (x >= 6 && x < 26 && y >= 3 && y < 29) p = 0xFF000080;
      if (x >= 22 && x < 25 && y >= 5 && y < 27) p = 0xFFFFFFFF;
      if (x >= 10 && x < 20 && (y == 9 || y == 12)) p = 0xFFFFD700;
      bool corner = (x == 6 || x == 25) && (y == 3 || y == 28);
      if (corner) p = 0x80000080;
      icon.pixels.push_back(p);
    }
  return icon;
}

std::vector<AcceleratorEntry> Accelerators() {
  const uint16_t ctrl = FVIRTKEY | FCONTROL;
  return {{ctrl, 'D', IDM_DIALOG}, {ctrl, 'M', IDM_MESSAGE}, {ctrl, 'G', IDM_GRID}, {ctrl, 'Q', IDM_EXIT}};
}

// Every control kind of the platform, in dialog units; SHInitDialog makes the
// dialog fill the screen below the taskbar.
DialogTemplate Controls() {
  DialogTemplate d;
  d.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
  d.width = 132;
  d.height = 140;
  d.caption = u"Controls";
  auto add = [&d](uint16_t cls, uint32_t style, int16_t x, int16_t y, int16_t w, int16_t h, uint16_t id,
                  const char16_t* text) {
    d.items.push_back(MakeDialogItem(cls, style | WS_VISIBLE, x, y, w, h, id, text));
  };
  add(DIALOG_CLASS_STATIC, SS_LEFT, 4, 5, 26, 9, IDC_NAME_LABEL, u"&Name:");
  add(DIALOG_CLASS_EDIT, ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 32, 3, 96, 13, IDC_NAME, u"");
  add(DIALOG_CLASS_STATIC, SS_CENTER | SS_NOPREFIX, 4, 21, 100, 9, IDC_NOTE, u"Salt & Pepper");
  DialogItem picture = MakeDialogItem(DIALOG_CLASS_STATIC, SS_BITMAP | WS_VISIBLE, 110, 18, 18, 16, IDC_PICTURE, u"");
  picture.resourceId = IDB_PICTURE;
  d.items.push_back(picture);
  add(DIALOG_CLASS_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 4, 36, 40, 10, IDC_RED, u"Red");
  add(DIALOG_CLASS_BUTTON, BS_AUTORADIOBUTTON, 4, 47, 40, 10, IDC_GREEN, u"Green");
  add(DIALOG_CLASS_BUTTON, BS_AUTORADIOBUTTON, 4, 58, 40, 10, IDC_BLUE, u"Blue");
  add(DIALOG_CLASS_BUTTON, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 4, 70, 40, 10, IDC_BOLD, u"Bold");
  add(DIALOG_CLASS_BUTTON, BS_OWNERDRAW | WS_TABSTOP, 50, 36, 50, 18, IDC_ASK, u"Ask...");
  add(DIALOG_CLASS_STATIC, SS_CENTER, 50, 62, 50, 9, IDC_LEVEL_TEXT, u"");
  add(DIALOG_CLASS_SCROLLBAR, SBS_VERT, 118, 36, 8, 44, IDC_LEVEL, u"");
  add(DIALOG_CLASS_LISTBOX, LBS_SORT | LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 4, 84, 60, 38, IDC_FRUIT,
      u"");
  add(DIALOG_CLASS_EDIT, ES_MULTILINE | ES_READONLY | WS_BORDER, 68, 84, 60, 38, IDC_LOG, u"");
  add(DIALOG_CLASS_BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP, 16, 126, 44, 13, IDOK, u"OK");
  add(DIALOG_CLASS_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, 72, 126, 44, 13, IDCANCEL, u"Cancel");
  return d;
}

bool Add(std::vector<PackResource>* pack, uint16_t type, uint16_t id, bool encoded,
         const std::vector<uint8_t>& bytes, const std::string& error) {
  if (!encoded) {
    std::fprintf(stderr, "demo_resources: resource %u of type %u: %s\n", id, type, error.c_str());
    return false;
  }
  pack->push_back({type, id, bytes});
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_resources OUT.cpp\n");
    return 2;
  }
  std::vector<PackResource> r;
  std::vector<uint8_t> b;
  std::string e;
  bool ok = Add(&r, kMenu, IDR_MENU, EncodeMenuResource(Menu(), &b, &e), b, e);
  ok = ok && CheckMenuBarAgainstMenu(MenuBar(), Menu(), &e);
  ok = ok && Add(&r, kRcData, IDR_MENU, true, EncodeMenuBarDescription(MenuBar()), e);
  ok = ok && Add(&r, kBitmap, IDB_TOOLBAR, EncodeBitmapResource(Toolbar(), &b, &e), b, e);
  ok = ok && Add(&r, kBitmap, IDB_PICTURE, EncodeBitmapResource(Picture(), &b, &e), b, e);
  ok = ok && Add(&r, kIcon, IDI_DEMO, EncodeIconResource(Icon(), &b, &e), b, e);
  ok = ok && Add(&r, kAccelerator, IDA_DEMO, EncodeAcceleratorTable(Accelerators(), &b, &e), b, e);
  ok = ok && Add(&r, kDialog, IDD_CONTROLS, EncodeDialogTemplate(Controls(), &b, &e), b, e);
  ok = ok && Add(&r, kString, IDS_DEMO_MENU, EncodeStringResource(u"Demo", &b, &e), b, e);
  ok = ok && Add(&r, kString, IDS_VIEW_MENU, EncodeStringResource(u"View", &b, &e), b, e);
  // "Shalom olam", its letters in display order: the platform draws left to right.
  const std::u16string greeting = u"\u05DD\u05DC\u05D5\u05E2 \u05DD\u05D5\u05DC\u05E9";
  ok = ok && Add(&r, kString, IDS_GREETING, EncodeStringResource(greeting, &b, &e), b, e);
  std::vector<uint8_t> pack;
  if (!ok || !BuildResourcePack(std::move(r), &pack, &e)) {
    std::fprintf(stderr, "demo_resources: %s\n", e.c_str());
    return 1;
  }
  if (!book::WriteOutputFiles({{argv[1], book::EmbeddingSource(pack, "the demonstration's resources")}}, &e)) {
    std::fprintf(stderr, "demo_resources: %s\n", e.c_str());
    return 1;
  }
  return 0;
}
