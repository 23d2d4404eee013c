// Writes the seed corpora of the fuzz targets, taken from the built-in book:
//   uncompress/  D (two bytes, big-endian) and the stream of each resource
//   container/   each resource as stored
//   book_source/ the book source cut at its side lines, and the test fixtures
//   layout/      a pane (width, height, top line, hit start, hit end: two
//                bytes each, big-endian; one byte of options) and an article
//   menubar/     a menu-bar description's length (two bytes, big-endian), the
//                description, and a menu resource
//   dialog_template/ dialog templates as the resources hold them
//   registry/    a registry file
//   instance/    the records between processes: each kind of request, a reply
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "content/stored.h"
#include "platform/controls/dialog_template.h"
#include "platform/instance/protocol.h"
#include "platform/memory.h"
#include "platform/resource.h"
#include "tests/platform/menus/menus_fixture.h"

namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: fuzz_seeds OUT_DIR BOOK_SOURCE [FIXTURE_DIR…]\n");
    return 2;
  }
  fs::path out = argv[1];
  for (const char* d : {"uncompress", "container", "book_source", "layout"}) fs::create_directories(out / d);

  int written = 0;
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE + 1; ++n) {
    int id = n > LAST_ARTICLE ? 32767 : 1000 + n;
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (found == nullptr) continue;
    const uint8_t* r = static_cast<const uint8_t*>(LoadResource(nullptr, found));
    DWORD size = SizeofResource(nullptr, found);
    if (size < CONTAINER_HEADER) continue;
    std::string name = std::to_string(id);
    written += Write(out / "container" / name, r, size);
    unsigned c = static_cast<unsigned>(r[6] << 8 | r[7]);
    if (CONTAINER_HEADER + c > size) continue;
    std::vector<uint8_t> seed = {r[8], r[9]};
    seed.insert(seed.end(), r + CONTAINER_HEADER, r + CONTAINER_HEADER + c);
    written += Write(out / "uncompress" / name, seed.data(), seed.size());
  }

  // Panes of both views' sizes, a few scroll positions and highlights, both faces.
  const uint8_t panes[][11] = {
      {0, 227, 0, 132, 0, 0, 0, 0, 0, 0, 0x00},    {0, 227, 0, 120, 0, 3, 0, 40, 0, 60, 0x21},
      {1, 224, 2, 88, 0, 1, 0, 12, 0, 30, 0x45},   {0, 40, 0, 60, 0, 9, 0, 100, 0, 90, 0x12},
  };
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) {
    BYTE* article = FetchStored(n, nullptr);
    if (article == nullptr) continue;
    const uint8_t* pane = panes[n % 4];
    std::vector<uint8_t> seed(pane, pane + 11);
    seed.insert(seed.end(), article, article + StoredLength(article));
    LocalFree(article);
    written += Write(out / "layout" / std::to_string(n), seed.data(), seed.size());
  }

  std::ifstream in(argv[2], std::ios::binary);
  std::stringstream whole;
  whole << in.rdbuf();
  std::string text = whole.str();
  // Pieces of the source from one "## " line to the next: small inputs that
  // hold every kind of line the parser meets.
  size_t start = 0;
  int piece = 0;
  while (start < text.size() && piece < 400) {
    size_t next = text.find("\n## ", start + 1);
    size_t end = next == std::string::npos ? text.size() : next + 1;
    written += Write(out / "book_source" / ("piece" + std::to_string(piece++)), text.data() + start, end - start);
    start = end;
  }
  for (int i = 3; i < argc; ++i) {
    if (!fs::is_directory(argv[i])) continue;
    for (const auto& entry : fs::directory_iterator(argv[i])) {
      if (entry.is_regular_file()) fs::copy_file(entry.path(), out / "book_source" / entry.path().filename(),
                                                 fs::copy_options::overwrite_existing);
    }
  }
  // menubar/: the app's menu-bar description and menu, and variations.
  fs::create_directories(out / "menubar");
  std::vector<uint8_t> appMenu, smallMenu;
  std::string error;
  EncodeMenuResource(AppMenu(), &appMenu, &error);
  EncodeMenuResource({{0, 1, u"&One\bF1", {}}, {MF_SEPARATOR, 0, u"", {}}}, &smallMenu, &error);
  MenuBarDescription badIndex = AppMenuBar();
  badIndex.buttons[1].popup = 2;
  const std::pair<MenuBarDescription, const std::vector<uint8_t>*> menuBars[] = {
      {AppMenuBar(), &appMenu}, {badIndex, &appMenu}, {MenuBarDescription{}, &smallMenu}};
  for (size_t i = 0; i < std::size(menuBars); ++i) {
    const auto& [description, menu] = menuBars[i];
    std::vector<uint8_t> bar = EncodeMenuBarDescription(description);
    std::vector<uint8_t> seed = {static_cast<uint8_t>(bar.size() >> 8), static_cast<uint8_t>(bar.size())};
    seed.insert(seed.end(), bar.begin(), bar.end());
    seed.insert(seed.end(), menu->begin(), menu->end());
    written += Write(out / "menubar" / ("seed" + std::to_string(i)), seed.data(), seed.size());
  }
  // dialog_template/: a dialog with no items, one with each kind of item.
  fs::create_directories(out / "dialog_template");
  DialogTemplate bare;
  bare.style = 0x90C80840;
  bare.exStyle = 0x80000000;
  bare.width = bare.height = 160;
  bare.caption = u"Choose Section";
  bare.pointSize = 8;
  bare.face = u"System";
  DialogTemplate full = bare;
  full.caption = u"Lumora";
  const uint16_t classes[] = {DIALOG_CLASS_STATIC, DIALOG_CLASS_EDIT, DIALOG_CLASS_BUTTON,
                              DIALOG_CLASS_LISTBOX, DIALOG_CLASS_SCROLLBAR, DIALOG_CLASS_NAMED};
  for (uint16_t c : classes) {
    DialogItem item;
    item.classNumber = c;
    item.className = c == DIALOG_CLASS_NAMED ? u"Custom" : u"";
    item.id = static_cast<uint16_t>(1000 + c);
    item.x = item.y = 7;
    item.width = 50;
    item.height = 10;
    item.text = u"Text";
    full.items.push_back(item);
  }
  full.items[0].text.clear();
  full.items[0].resourceId = 119;
  for (const DialogTemplate* d : {&bare, &full}) {
    std::vector<uint8_t> bytes;
    if (EncodeDialogTemplate(*d, &bytes, &error))
      written += Write(out / "dialog_template" / (d == &bare ? "bare" : "full"), bytes.data(), bytes.size());
  }
  // registry/: a file as the program writes it, every kind of value.
  fs::create_directories(out / "registry");
  const char kRegistry[] =
      "; registry\n[Software\\Varnatek]\n\"FullScreen\"=dword:00000001\n"
      "[Software\\Varnatek\\Lumora]\n\"Flags\"=dword:d1140040\n\"FontName\"=sz:\"David \\\"CLM\\\" \\u0001\"\n"
      "\"Bookmarks\"=hex:05,00,00,00,00,00,00,00\n\"Odd\"=hex(1):41,00,42\n[Odd ^005C key]\n";
  written += Write(out / "registry" / "file", kRegistry, sizeof kRegistry - 1);
  fs::create_directories(out / "instance");
  std::vector<instance::Request> requests(5);
  requests[0].anyClass = requests[0].anyTitle = false;
  requests[0].className = requests[0].title = u"Lumora";
  requests[1].ask = instance::Ask::kSend;
  requests[1].process = 0x0123456789ABCDEF;
  requests[1].window = 0x40000;
  requests[1].message = 0x0111;
  requests[1].wParam = 119;
  requests[2].ask = instance::Ask::kForeground;
  requests[3].ask = instance::Ask::kSetForeground;
  requests[4].ask = instance::Ask::kParent;
  for (size_t i = 0; i < requests.size(); ++i) {
    std::vector<uint8_t> bytes = instance::EncodeRequest(requests[i]);
    written += Write(out / "instance" / ("request" + std::to_string(i)), bytes.data(), bytes.size());
  }
  std::vector<uint8_t> reply = instance::EncodeReply(instance::Reply{instance::Answer::kResult, 1, 4119});
  written += Write(out / "instance" / "reply", reply.data(), reply.size());
  std::printf("fuzz_seeds: %d seeds in %s\n", written, out.c_str());
  return written > 0 ? 0 : 1;
}
