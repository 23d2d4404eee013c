// lumora-ui: the reader's own interface resources (menu, menu-bar
// description, strings, toolbar strip, icon, logo, index icons, accelerators,
// About box), added to the compiled book's pack to make the program's pack.
//
//   lumora-ui --book BOOK.pack --pack OUT.pack --source OUT.cpp
//   lumora-ui --toolbar-png OUT.png     the toolbar strip, four times as large
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/controls/dialog_template.h"
#include "platform/menus.h"
#include "platform/menus/menu_resource.h"
#include "platform/png.h"
#include "platform/resource_pack.h"
#include "resources/ui/pictures.h"
#include "shell/resource_ids.h"
#include "tools/book/book_output.h"

namespace {

constexpr uint16_t kBitmap = 2, kIcon = 3, kMenu = 4, kDialog = 5, kString = 6, kAccelerator = 9, kRcData = 10;
constexpr uint16_t kNoId = 0xFFFF;

std::vector<MenuTemplateItem> MainMenu() {
  const MenuTemplateItem sep{MF_SEPARATOR, 0, u"", {}};
  return {{MF_POPUP, 0, u"&Go",
           {{0, IDM_ABOUT, u"&About", {}},
            {0, IDM_CHECK_UPDATES, u"Check For &Updates", {}},
            sep,
            {0, IDM_FONT, u"F&ont\bCtrl+F", {}},
            {0, IDM_REVERSE, u"Re&verse", {}},
            sep,
            {0, IDM_INDEX, u"&Index\bCtrl+D", {}},
            {0, IDM_BOOKMARK, u"&Bookmark", {}},
            {0, IDM_PREVIOUS_ARTICLE, u"&Previous Article", {}},
            {0, IDM_NEXT_ARTICLE, u"&Next Article", {}},
            sep,
            {0, IDM_SEARCH, u"&Search\bAlt+F3", {}},
            {0, IDM_SEARCH_AGAIN, u"Search A&gain\bF3", {}},
            sep,
            {0, IDM_COPY, u"&Copy\bCtrl+C", {}},
            {0, IDM_APPEND, u"&Append to ClipBoard\bCtrl+E", {}},
            sep,
            {0, IDM_EXIT, u"E&xit\bCtrl+Q", {}}}},
          {MF_POPUP, 0, u"&Korvel",
           {{0, IDM_RATIO_1_4, u"1/&4 Screen", {}},
            {0, IDM_RATIO_1_3, u"1/&3 Screen", {}},
            {0, IDM_RATIO_1_2, u"1/&2 Screen", {}},
            {0, IDM_RATIO_2_3, u"2/3 Screen", {}},
            {0, IDM_RATIO_3_4, u"3/4 Screen", {}},
            {0, IDM_RATIO_NONE, u"&None", {}}}}};
}

MenuBarDescription MenuBar() {
  const uint16_t dropDown = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
  MenuBarDescription d;
  d.menuId = IDR_MAIN_MENU;
  d.buttons = {{kMenuBarNoImage, IDM_GO_MENU, TBSTATE_ENABLED, dropDown, IDS_GO, 0, 0},
               {kMenuBarNoImage, IDM_KORVEL_MENU, TBSTATE_ENABLED, dropDown, IDS_KORVEL, 0, 1}};
  return d;
}

std::vector<AcceleratorEntry> Accelerators() {
  const uint16_t ctrl = FVIRTKEY | FCONTROL;
  return {{ctrl, 'F', IDM_FONT},
          {ctrl, 'D', IDM_INDEX},
          {FVIRTKEY | FALT, VK_F3, IDM_SEARCH},
          {FVIRTKEY, VK_F3, IDM_SEARCH_AGAIN},
          {ctrl, 'C', IDM_COPY},
          {ctrl, 'E', IDM_APPEND},
          {ctrl, 'Q', IDM_EXIT}};
}

// The link shows the site without its scheme.
std::u16string SiteName() {
  std::u16string url = VENDOR_SITE_URL;
  size_t scheme = url.find(u"://");
  return scheme == std::u16string::npos ? url : url.substr(scheme + 3);
}

DialogItem Shown(uint16_t cls, uint32_t style, int16_t x, int16_t y, int16_t w, int16_t h, uint16_t id,
                 std::u16string text) {
  return MakeDialogItem(cls, style | WS_VISIBLE | WS_CHILD, x, y, w, h, id, std::move(text));
}

DialogTemplate AboutBox() {
  // The static control takes the bitmap's own size.
  DialogItem logo = Shown(DIALOG_CLASS_STATIC, SS_BITMAP, 88, 7, 0, 0, kNoId, u"");
  logo.resourceId = IDB_LOGO;
  return {.style = WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT,
          .exStyle = WS_EX_CAPTIONOKBTN,
          .width = 130,
          .height = 85,
          .caption = u"Lumora",
          .pointSize = 8,
          .face = u"System",
          .items = {
              // Two lines: the name is wider than the room left of the logo.
              Shown(DIALOG_CLASS_STATIC, SS_LEFT | SS_NOPREFIX, 7, 7, 81, 16, kNoId, u"Tamrel (with Korvel) Lumora"),
              logo,
              Shown(DIALOG_CLASS_STATIC, SS_LEFT, 7, 24, 45, 8, kNoId, std::u16string(u"Version ") + PRODUCT_VERSION),
              Shown(DIALOG_CLASS_STATIC, SS_LEFT, 7, 41, 80, 8, kNoId, u"Text with commentary"),
              Shown(DIALOG_CLASS_BUTTON, BS_OWNERDRAW | WS_TABSTOP, 7, 58, 100, 8, IDC_VENDOR_LINK, SiteName()),
          }};
}

// Each resource, encoded, or false with the reason.
bool UiResources(std::vector<PackResource>* out, std::string* error) {
  std::vector<uint8_t> b;
  auto add = [&](uint16_t type, uint16_t id, bool encoded) {
    if (!encoded) {
      *error = "resource " + std::to_string(id) + " of type " + std::to_string(type) + ": " + *error;
      return false;
    }
    out->push_back({type, id, b});
    return true;
  };
  if (!add(kMenu, IDR_MAIN_MENU, EncodeMenuResource(MainMenu(), &b, error))) return false;
  if (!CheckMenuBarAgainstMenu(MenuBar(), MainMenu(), error)) return false;
  b = EncodeMenuBarDescription(MenuBar());
  bool ok = add(kRcData, IDR_MAIN_MENU, true) && add(kString, IDS_GO, EncodeStringResource(u"Go", &b, error)) &&
            add(kString, IDS_KORVEL, EncodeStringResource(u"Korvel", &b, error)) &&
            add(kBitmap, IDB_TOOLBAR, EncodeBitmapResource(ui::ToolbarStrip(), &b, error)) &&
            add(kIcon, IDI_PROGRAM, EncodeIconResource(ui::ProgramIcon(), &b, error)) &&
            add(kBitmap, IDB_LOGO, EncodeBitmapResource(ui::Logo(), &b, error)) &&
            add(kAccelerator, IDA_MAIN, EncodeAcceleratorTable(Accelerators(), &b, error)) &&
            add(kDialog, IDD_ABOUT, EncodeDialogTemplate(AboutBox(), &b, error));
  for (int i = 0; ok && i < 3; ++i)
    ok = add(kBitmap, static_cast<uint16_t>(IDB_INDEX_ICONS + i), EncodeBitmapResource(ui::IndexIcon(i), &b, error));
  return ok;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) *error = "cannot read " + path;
  return !in.bad();
}

bool WriteProgramPack(const std::string& bookPath, const std::string& packPath, const std::string& sourcePath,
                      std::string* error) {
  std::vector<uint8_t> book;
  PackView view;
  if (!ReadFile(bookPath, &book, error)) return false;
  if (!OpenResourcePack(book.data(), book.size(), &view, error)) {
    *error = bookPath + ": " + *error;
    return false;
  }
  std::vector<PackResource> resources = ListPackResources(view);
  std::vector<uint8_t> pack;
  if (!UiResources(&resources, error) || !BuildResourcePack(std::move(resources), &pack, error)) return false;
  return book::WriteOutputFiles({{packPath, std::string(pack.begin(), pack.end())},
                                 {sourcePath, book::EmbeddingSource(pack, "the program's resources")}},
                                error);
}

bool WriteToolbarPng(const std::string& path, std::string* error) {
  constexpr int kScale = 4;
  IndexedBitmap strip = ui::ToolbarStrip();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP picture = CreateCompatibleBitmap(dc, strip.width * kScale, strip.height * kScale);
  HGDIOBJ old = SelectObject(dc, picture);
  for (int y = 0; y < strip.height; ++y)
    for (int x = 0; x < strip.width; ++x) {
      uint32_t c = strip.palette[strip.indices[static_cast<size_t>(y) * strip.width + x]];
      HBRUSH brush = CreateSolidBrush(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
      RECT r{x * kScale, y * kScale, (x + 1) * kScale, (y + 1) * kScale};
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
  SelectObject(dc, old);
  bool ok = SavePng(picture, path, error);
  DeleteObject(picture);
  DeleteDC(dc);
  return ok;
}

constexpr const char kUsage[] =
    "usage: lumora-ui --book BOOK.pack --pack OUT.pack --source OUT.cpp\n"
    "       lumora-ui --toolbar-png OUT.png\n";

}  // namespace

int main(int argc, char** argv) {
  std::string book, pack, source, png;
  bool bad = argc % 2 == 0;
  for (int i = 1; !bad && i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--book") book = argv[i + 1];
    else if (option == "--pack") pack = argv[i + 1];
    else if (option == "--source") source = argv[i + 1];
    else if (option == "--toolbar-png") png = argv[i + 1];
    else bad = true;
  }
  bool build = !book.empty() && !pack.empty() && !source.empty() && png.empty();
  bool picture = !png.empty() && book.empty() && pack.empty() && source.empty();
  if (bad || (!build && !picture)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  if (build ? !WriteProgramPack(book, pack, source, &error) : !WriteToolbarPng(png, &error)) {
    std::fprintf(stderr, "lumora-ui: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
