// The program's resource pack as the build wrote it: the book's resources
// untouched, and the reader's own interface resources decoded field by field
// and used the way the shell uses them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/bitmap_resource.h"
#include "platform/controls.h"
#include "platform/controls/dialog_template.h"
#include "platform/menus.h"
#include "platform/menus/menu_resource.h"
#include "platform/resource.h"
#include "platform/resource_pack.h"
#include "platform/window/testing.h"
#include "platform/window/ui_resources.h"
#include "shell/resource_ids.h"

namespace {

constexpr uint16_t kBitmap = 2, kIcon = 3, kMenu = 4, kDialog = 5, kString = 6, kAccelerator = 9, kRcData = 10;

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Pack {
  explicit Pack(const char* path) : bytes(ReadFile(path)) {
    std::string error;
    EXPECT_TRUE(OpenResourcePack(bytes.data(), bytes.size(), &view, &error)) << path << ": " << error;
  }
  // The bytes of one resource; empty, with a failure, when it is missing.
  std::vector<uint8_t> Get(uint16_t type, uint16_t id) const {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!FindPackResource(view, type, id, &data, &size)) {
      ADD_FAILURE() << "no resource " << id << " of type " << type;
      return {};
    }
    return {data, data + size};
  }
  std::vector<uint8_t> bytes;
  PackView view;
};

const Pack& Program() {
  static const Pack pack(LUMORA_PROGRAM_PACK);
  return pack;
}

const Pack& Book() {
  static const Pack pack(LUMORA_BOOK_PACK);
  return pack;
}

// ASCII text as UTF-8 for readable comparisons; the character 8 shows as "\b".
std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c == u'\b' ? std::string("\\b") : c < 0x80 ? std::string(1, char(c)) : "?";
  return out;
}

using Key = std::pair<uint16_t, uint16_t>;  // type, id

std::set<Key> Keys(const PackView& view) {
  std::set<Key> keys;
  for (const PackResource& r : ListPackResources(view)) keys.insert({r.type, r.id});
  return keys;
}

TEST(ProgramPack, TheExecutableEmbedsThePackFileTheBuildWrote) {
  size_t size = 0;
  const uint8_t* embedded = EmbeddedResourcePack(&size);
  ASSERT_NE(embedded, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(embedded, embedded + size), Program().bytes);
}

TEST(ProgramPack, HoldsEveryBookResourceUnchangedBesideTheInterface) {
  std::set<Key> book;
  for (uint16_t n = 1; n <= 220; ++n) book.insert({kRcData, static_cast<uint16_t>(1000 + n)});
  book.insert({kRcData, 32767});
  EXPECT_EQ(Keys(Book().view), book);
  for (const PackResource& r : ListPackResources(Book().view)) {
    SCOPED_TRACE(r.id);
    EXPECT_EQ(Program().Get(r.type, r.id), r.bytes);
  }
  std::set<Key> all = book;
  all.insert({{kMenu, IDR_MAIN_MENU},
              {kRcData, IDR_MAIN_MENU},
              {kString, IDS_GO},
              {kString, IDS_KORVEL},
              {kBitmap, IDB_TOOLBAR},
              {kBitmap, IDB_LOGO},
              {kBitmap, IDB_INDEX_ICONS},
              {kBitmap, IDB_INDEX_ICONS + 1},
              {kBitmap, IDB_INDEX_ICONS + 2},
              {kIcon, IDI_PROGRAM},
              {kAccelerator, IDA_MAIN},
              {kDialog, IDD_ABOUT}});
  EXPECT_EQ(Keys(Program().view), all);
}

TEST(ProgramPack, MenuBarDescriptionIsTheseWords) {
  const uint16_t words[] = {IDR_MAIN_MENU, 2,
                            0xFFFE, IDM_GO_MENU, 4, 0x18, IDS_GO, 0, 0,
                            0xFFFE, IDM_KORVEL_MENU, 4, 0x18, IDS_KORVEL, 0, 1};
  std::vector<uint8_t> expected;
  for (uint16_t w : words) {
    expected.push_back(static_cast<uint8_t>(w & 0xFF));
    expected.push_back(static_cast<uint8_t>(w >> 8));
  }
  EXPECT_EQ(Program().Get(kRcData, IDR_MAIN_MENU), expected);
}

// One line an item: "popup TEXT", "ID TEXT" indented under its pop-up, or
// "separator"; any other flag is shown.
void MenuLines(const std::vector<MenuTemplateItem>& items, const std::string& indent,
               std::vector<std::string>* lines) {
  for (const MenuTemplateItem& item : items) {
    std::string line = indent;
    uint16_t kind = item.flags & (MF_POPUP | MF_SEPARATOR);
    if (kind == MF_POPUP) line += "popup " + Narrow(item.text);
    else if (kind == MF_SEPARATOR) line += "separator";
    else line += std::to_string(item.id) + " " + Narrow(item.text);
    if (item.flags & ~(MF_POPUP | MF_SEPARATOR)) line += " flags " + std::to_string(item.flags);
    if (kind != MF_POPUP && !item.items.empty()) line += " with items";
    if (kind != 0 && item.id != 0) line += " id " + std::to_string(item.id);
    if (kind == MF_SEPARATOR && !item.text.empty()) line += " text " + Narrow(item.text);
    lines->push_back(line);
    MenuLines(item.items, indent + "  ", lines);
  }
}

TEST(ProgramPack, MenuHasEveryItemInOrder) {
  const std::vector<std::string> expected = {
      "popup &Go",
      "  40004 &About",
      "  129 Check For &Updates",
      "  separator",
      "  40006 F&ont\\bCtrl+F",
      "  122 Re&verse",
      "  separator",
      "  119 &Index\\bCtrl+D",
      "  123 &Bookmark",
      "  110 &Previous Article",
      "  109 &Next Article",
      "  separator",
      "  116 &Search\\bAlt+F3",
      "  117 Search A&gain\\bF3",
      "  separator",
      "  40007 &Copy\\bCtrl+C",
      "  40009 &Append to ClipBoard\\bCtrl+E",
      "  separator",
      "  40005 E&xit\\bCtrl+Q",
      "popup &Korvel",
      "  414 1/&4 Screen",
      "  413 1/&3 Screen",
      "  412 1/&2 Screen",
      "  423 2/3 Screen",
      "  434 3/4 Screen",
      "  401 &None",
  };
  std::vector<uint8_t> bytes = Program().Get(kMenu, IDR_MAIN_MENU);
  std::vector<MenuTemplateItem> menu;
  std::string error;
  ASSERT_TRUE(DecodeMenuResource(bytes.data(), bytes.size(), &menu, &error)) << error;
  std::vector<std::string> lines;
  MenuLines(menu, "", &lines);
  EXPECT_EQ(lines, expected);
}

TEST(ProgramPack, AcceleratorsAreTheseKeys) {
  using Row = std::tuple<int, int, int>;  // flags, key, command
  const int ctrl = FVIRTKEY | FCONTROL;
  std::vector<Row> expected = {{ctrl, 'F', IDM_FONT},
                               {ctrl, 'D', IDM_INDEX},
                               {FVIRTKEY | FALT, 0x72, IDM_SEARCH},
                               {FVIRTKEY, 0x72, IDM_SEARCH_AGAIN},
                               {ctrl, 'C', IDM_COPY},
                               {ctrl, 'E', IDM_APPEND},
                               {ctrl, 'Q', IDM_EXIT}};
  std::vector<uint8_t> bytes = Program().Get(kAccelerator, IDA_MAIN);
  std::vector<AcceleratorEntry> entries;
  std::string error;
  ASSERT_TRUE(DecodeAcceleratorTable(bytes.data(), bytes.size(), &entries, &error)) << error;
  std::vector<Row> got;
  for (const AcceleratorEntry& e : entries) got.emplace_back(e.flags, e.key, e.command);
  std::sort(got.begin(), got.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(got, expected);
}

TEST(ProgramPack, StringsAreTheMenuBarsTexts) {
  const std::pair<uint16_t, const char16_t*> strings[] = {{IDS_GO, u"Go"}, {IDS_KORVEL, u"Korvel"}};
  for (const auto& [id, text] : strings) {
    SCOPED_TRACE(id);
    std::vector<uint8_t> bytes = Program().Get(kString, id);
    std::u16string got;
    std::string error;
    ASSERT_TRUE(DecodeStringResource(bytes.data(), bytes.size(), &got, &error)) << error;
    EXPECT_EQ(Narrow(got), Narrow(text));
  }
}

IndexedBitmap Bitmap(uint16_t id) {
  std::vector<uint8_t> bytes = Program().Get(kBitmap, id);
  IndexedBitmap b;
  std::string error;
  EXPECT_TRUE(DecodeBitmapResource(bytes.data(), bytes.size(), &b, &error)) << id << ": " << error;
  return b;
}

uint32_t Colour(const IndexedBitmap& b, int x, int y) {
  return b.palette[b.indices[static_cast<size_t>(y) * b.width + x]];
}

TEST(ProgramPack, BitmapsHaveTheirSizeAndDepth) {
  struct Row {
    uint16_t id;
    int width, height, bits;
  };
  const Row rows[] = {{IDB_TOOLBAR, 96, 16, 4},
                      {IDB_LOGO, 63, 40, 1},
                      {IDB_INDEX_ICONS, 9, 9, 1},
                      {IDB_INDEX_ICONS + 1, 9, 9, 1},
                      {IDB_INDEX_ICONS + 2, 9, 9, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    IndexedBitmap b = Bitmap(r.id);
    EXPECT_EQ(b.width, r.width);
    EXPECT_EQ(b.height, r.height);
    EXPECT_EQ(b.bitsPixel, r.bits);
  }
}

TEST(ProgramPack, ToolbarImagesAreSixDifferentPicturesOnTheSeeThroughGrey) {
  constexpr uint32_t kGround = 0xC0C0C0;
  IndexedBitmap strip = Bitmap(IDB_TOOLBAR);
  ASSERT_EQ(strip.width, 96);
  ASSERT_EQ(strip.height, 16);
  std::vector<std::vector<uint32_t>> images(6);
  for (int i = 0; i < 6; ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) images[i].push_back(Colour(strip, i * 16 + x, y));
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    std::set<uint32_t> colours(images[i].begin(), images[i].end());
    EXPECT_TRUE(colours.count(kGround)) << "the button never shows through";
    EXPECT_GE(colours.size(), 2u) << "nothing but ground";
    for (int j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << "the same as image " << j;
  }
}

// The picture as rows of '#' (black) and '.' (white); '?' for anything else.
std::vector<std::string> Rows(const IndexedBitmap& b) {
  std::vector<std::string> rows;
  for (int y = 0; y < b.height; ++y) {
    std::string row;
    for (int x = 0; x < b.width; ++x) {
      uint32_t c = Colour(b, x, y);
      row += c == 0x000000 ? '#' : c == 0xFFFFFF ? '.' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(ProgramPack, IndexIconsArePlusMinusAndDocument) {
  const std::vector<std::string> pictures[] = {
      {"#########", "#.......#", "#...#...#", "#...#...#", "#.#####.#", "#...#...#", "#...#...#", "#.......#",
       "#########"},
      {"#########", "#.......#", "#.......#", "#.......#", "#.#####.#", "#.......#", "#.......#", "#.......#",
       "#########"},
      {".#####...", ".#...##..", ".#...#.#.", ".#...####", ".#......#", ".#.####.#", ".#......#", ".#.####.#",
       ".########"},
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Rows(Bitmap(static_cast<uint16_t>(IDB_INDEX_ICONS + i))), pictures[i]);
  }
}

TEST(ProgramPack, LogoIsBlackOnWhite) {
  std::vector<std::string> rows = Rows(Bitmap(IDB_LOGO));
  std::string all;
  for (const std::string& row : rows) all += row;
  EXPECT_EQ(all.find('?'), std::string::npos);
  EXPECT_NE(all.find('#'), std::string::npos);
  // White is the ground: every corner.
  ASSERT_EQ(rows.size(), 40u);
  for (const std::string& row : {rows.front(), rows.back()}) {
    EXPECT_EQ(row.front(), '.');
    EXPECT_EQ(row.back(), '.');
  }
}

TEST(ProgramPack, IconIsAnOpaquePictureWithClearCorners) {
  std::vector<uint8_t> bytes = Program().Get(kIcon, IDI_PROGRAM);
  IconImage icon;
  std::string error;
  ASSERT_TRUE(DecodeIconResource(bytes.data(), bytes.size(), &icon, &error)) << error;
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.height, 32);
  auto alpha = [&icon](int x, int y) { return icon.pixels[static_cast<size_t>(y) * 32 + x] >> 24; };
  const std::pair<int, int> corners[] = {{0, 0}, {31, 0}, {0, 31}, {31, 31}};
  for (const auto& [x, y] : corners) EXPECT_EQ(alpha(x, y), 0u) << x << "," << y;
  EXPECT_EQ(alpha(16, 16), 255u);
  std::set<uint32_t> opaque;
  for (uint32_t p : icon.pixels)
    if (p >> 24 == 255) opaque.insert(p);
  EXPECT_GE(opaque.size(), 3u);
}

DialogTemplate AboutTemplate() {
  std::vector<uint8_t> bytes = Program().Get(kDialog, IDD_ABOUT);
  DialogTemplate d;
  std::string error;
  EXPECT_TRUE(DecodeDialogTemplate(bytes.data(), bytes.size(), &d, &error)) << error;
  return d;
}

TEST(ProgramPack, AboutBoxTemplate) {
  DialogTemplate d = AboutTemplate();
  EXPECT_EQ(Narrow(d.caption), "Lumora");
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(Narrow(d.face), "System");
  EXPECT_EQ(d.width, 130);
  EXPECT_EQ(d.height, 85);
  EXPECT_EQ(d.style, static_cast<uint32_t>(WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT));
  EXPECT_EQ(d.exStyle, static_cast<uint32_t>(WS_EX_CAPTIONOKBTN));

  struct Item {
    uint16_t cls;
    uint32_t style;
    int16_t x, y, width, height;
    uint16_t id;
    const char* text;
    uint16_t resource;
  };
  const uint32_t shown = WS_VISIBLE | WS_CHILD;
  const Item items[] = {
      {DIALOG_CLASS_STATIC, SS_LEFT | SS_NOPREFIX | shown, 7, 7, 81, 16, 0xFFFF, "Tamrel (with Korvel) Lumora", 0},
      {DIALOG_CLASS_STATIC, SS_BITMAP | shown, 88, 7, 0, 0, 0xFFFF, "", IDB_LOGO},
      {DIALOG_CLASS_STATIC, SS_LEFT | shown, 7, 24, 45, 8, 0xFFFF, "Version 1.84a", 0},
      {DIALOG_CLASS_STATIC, SS_LEFT | shown, 7, 41, 80, 8, 0xFFFF, "Text with commentary", 0},
      {DIALOG_CLASS_BUTTON, BS_OWNERDRAW | WS_TABSTOP | shown, 7, 58, 100, 8, IDC_VENDOR_LINK,
       "varnatek.example", 0},
  };
  ASSERT_EQ(d.items.size(), std::size(items));
  for (size_t i = 0; i < std::size(items); ++i) {
    SCOPED_TRACE(i);
    const DialogItem& got = d.items[i];
    const Item& want = items[i];
    EXPECT_EQ(got.classNumber, want.cls);
    EXPECT_EQ(got.style, want.style);
    EXPECT_EQ(got.exStyle, 0u);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(Narrow(got.text), want.text);
    EXPECT_EQ(got.resourceId, want.resource);
  }
  // The link names the site the updates come from.
  EXPECT_EQ(u"https://" + d.items[4].text, VENDOR_SITE_URL);
}

// The resources at work on the headless screen, as the shell uses them.
class InUse : public ::testing::Test {
 protected:
  void SetUp() override { TestResetWindowSystem(); }
  void TearDown() override { TestResetWindowSystem(); }
};

RECT WindowRectIn(HWND window, HWND parent) {
  RECT r{};
  GetWindowRect(window, &r);
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ScreenToClient(parent, &corners[0]);
  ScreenToClient(parent, &corners[1]);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

TEST_F(InUse, AboutBoxFitsTheScreenAndEveryTextFitsItsControl) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG);
  ASSERT_NE(found, nullptr);
  const auto* about = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
  HWND dialog = CreateDialogIndirectParamW(nullptr, about, nullptr, nullptr, 0);
  ASSERT_NE(dialog, nullptr);
  RECT outer{}, client{};
  GetWindowRect(dialog, &outer);
  GetClientRect(dialog, &client);
  EXPECT_GE(outer.left, 0);
  EXPECT_GE(outer.top, 0);
  EXPECT_LE(outer.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(outer.bottom, GetSystemMetrics(SM_CYSCREEN));

  std::vector<RECT> placed;
  HDC dc = CreateCompatibleDC(nullptr);
  for (HWND item = GetWindow(dialog, GW_CHILD); item != nullptr; item = GetWindow(item, GW_HWNDNEXT)) {
    RECT r = WindowRectIn(item, dialog);
    SCOPED_TRACE(testing::Message() << "item at " << r.left << "," << r.top);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
        << "reaches " << r.right << "," << r.bottom << " of " << client.right << "," << client.bottom;
    for (const RECT& other : placed)
      EXPECT_FALSE(r.left < other.right && other.left < r.right && r.top < other.bottom && other.top < r.bottom)
          << "overlaps the item at " << other.left << "," << other.top;
    placed.push_back(r);
    char16_t text[128] = {};
    int length = GetWindowTextW(item, text, 128);
    if ((GetWindowLongW(item, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
      EXPECT_NE(SendMessageW(item, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
      EXPECT_EQ(r.right - r.left, 63);
      EXPECT_EQ(r.bottom - r.top, 40);
      continue;
    }
    // As the controls draw it: broken at spaces, every line within the control.
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, r.right - r.left, 0};
    DrawTextW(dc, text, length, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EXPECT_LE(needed.right, r.right - r.left) << Narrow(text);
    EXPECT_LE(needed.bottom, r.bottom - r.top) << Narrow(text);
  }
  DeleteDC(dc);
  EXPECT_EQ(placed.size(), 5u);
  DestroyWindow(dialog);
}

TEST_F(InUse, MenuBarAndToolbarBuildFromThePack) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"ResourcesTestMain";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND main = CreateWindowExW(0, u"ResourcesTestMain", u"Main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(main, nullptr);
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = main;
  info.nToolBarId = IDR_MAIN_MENU;
  ASSERT_TRUE(SHCreateMenuBar(&info));
  HWND bar = info.hwndMB;
  EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 2);
  const std::pair<UINT, int> popups[] = {{IDM_GO_MENU, 18}, {IDM_KORVEL_MENU, 6}};
  for (const auto& [command, items] : popups) {
    SCOPED_TRACE(command);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, command));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), items);
  }
  // All six images come from the strip: the next strip starts after them.
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, IDB_TOOLBAR, 6, 16, 16), 0);
  EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, IDB_TOOLBAR, 6, 16, 16), 6);
  HACCEL accelerators = LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(IDA_MAIN));
  EXPECT_NE(accelerators, nullptr);
  EXPECT_NE(LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_PROGRAM)), nullptr);
  DestroyWindow(main);
}

}  // namespace
