// The menu-bar description and menu readers on any bytes. Input: the
// description's length (two bytes, big-endian), the description, then the
// menu resource. What reads must write back to the same bytes; a menu that
// reads is loaded through LoadMenuW and its marks set.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/menus.h"
#include "platform/menus/menu_resource.h"
#include "platform/testing.h"

namespace {

void Walk(HMENU menu, int depth) {
  int count = GetMenuItemCount(menu);
  if (depth > kMenuMaxDepth || count < 0) std::abort();
  for (int i = 0; i < count; ++i) {
    WCHAR text[8];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = 8;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) std::abort();
    if (info.hSubMenu != nullptr) Walk(info.hSubMenu, depth + 1);
    else CheckMenuItem(menu, info.wID, MF_BYCOMMAND | MF_CHECKED);
  }
  if (count > 0) CheckMenuRadioItem(menu, 0, static_cast<UINT>(count - 1), 0, MF_BYPOSITION);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t split = std::min(size - 2, static_cast<size_t>(data[0] << 8 | data[1]));
  // Copies of exactly their sizes: a read past either is a finding.
  std::vector<uint8_t> bar(data + 2, data + 2 + split), menu(data + 2 + split, data + size);

  std::string error;
  MenuBarDescription description;
  bool barRead = DecodeMenuBarDescription(bar.data(), bar.size(), &description, &error);
  if (barRead && EncodeMenuBarDescription(description) != bar) std::abort();

  std::vector<MenuTemplateItem> items;
  bool menuRead = DecodeMenuResource(menu.data(), menu.size(), &items, &error);
  if (!menuRead) return 0;
  std::vector<uint8_t> again;
  if (!EncodeMenuResource(items, &again, &error) || again != menu) std::abort();
  if (barRead) CheckMenuBarAgainstMenu(description, items, &error);

  if (!TestUseResources({{4, 1, menu}})) std::abort();
  HMENU loaded = LoadMenuW(nullptr, MAKEINTRESOURCEW(1));
  if (loaded == nullptr) std::abort();
  Walk(loaded, 0);
  if (!DestroyMenu(loaded) || IsMenu(loaded)) std::abort();
  return 0;
}
