// The records behind HMENU and the calls that build, query and mark them.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "platform/menus/internal.h"
#include "platform/resource.h"

namespace menus {
namespace {

// Searches below a menu stop this deep, so that a long chain of pop-ups
// built by hand cannot exhaust the stack.
constexpr int kSearchDepth = 16;

struct Store {
  std::unordered_map<uintptr_t, std::unique_ptr<Menu>> menus;
  uintptr_t next = 0x4D0000;
};

Store& TheStore() {
  static Store* store = new Store;
  return *store;
}

HMENU NewMenu(bool popup) {
  Store& s = TheStore();
  s.next += 16;
  auto m = std::make_unique<Menu>();
  m->popup = popup;
  s.menus.emplace(s.next, std::move(m));
  return reinterpret_cast<HMENU>(s.next);
}

struct Found {
  Menu* menu = nullptr;
  size_t position = 0;
  Item* item() const { return menu != nullptr ? &menu->items[position] : nullptr; }
};

Found ByCommand(Menu* menu, UINT id, int depth) {
  if (menu == nullptr || depth > kSearchDepth) return {};
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const Item& item = menu->items[i];
    if (item.popup == nullptr && !item.separator && item.id == id) return {menu, i};
    if (item.popup != nullptr) {
      Found inner = ByCommand(FindMenu(item.popup), id, depth + 1);
      if (inner.menu != nullptr) return inner;
    }
  }
  return {};
}

Found Locate(HMENU handle, UINT item, UINT flags) {
  Menu* menu = FindMenu(handle);
  if (menu == nullptr) return {};
  if (flags & MF_BYPOSITION) {
    if (item >= menu->items.size()) return {};
    return {menu, item};
  }
  return ByCommand(menu, item, 0);
}

// Whether `target` is `from` or lies below it.
bool Reaches(HMENU from, HMENU target) {
  std::vector<HMENU> pending{from};
  std::unordered_set<HMENU> seen;
  while (!pending.empty()) {
    HMENU h = pending.back();
    pending.pop_back();
    if (h == target) return true;
    if (!seen.insert(h).second) continue;
    if (Menu* m = FindMenu(h))
      for (const Item& item : m->items)
        if (item.popup != nullptr) pending.push_back(item.popup);
  }
  return false;
}

}  // namespace

Menu* FindMenu(HMENU menu) {
  auto& all = TheStore().menus;
  auto it = all.find(reinterpret_cast<uintptr_t>(menu));
  return it == all.end() ? nullptr : it->second.get();
}

HMENU BuildMenu(const std::vector<MenuTemplateItem>& items) {
  struct Builder {
    static void Fill(HMENU handle, const std::vector<MenuTemplateItem>& list) {
      for (const MenuTemplateItem& t : list) {
        Item item;
        item.separator = (t.flags & MF_SEPARATOR) != 0;
        item.grayed = (t.flags & (MF_GRAYED | MF_DISABLED)) != 0;
        item.checked = (t.flags & MF_CHECKED) != 0;
        item.id = t.id;
        item.text = t.text;
        if (t.flags & MF_POPUP) {
          item.id = 0;
          item.popup = NewMenu(true);
          Fill(item.popup, t.items);
        }
        FindMenu(handle)->items.push_back(std::move(item));
      }
    }
  };
  HMENU menu = NewMenu(false);
  Builder::Fill(menu, items);
  return menu;
}

bool ReadMenuTemplate(HINSTANCE instance, LPCWSTR name, std::vector<MenuTemplateItem>* items) {
  HMODULE module = instance;
  HRSRC found = FindResourceW(module, name, RT_MENU);
  if (found == nullptr) return false;
  const void* bytes = LoadResource(module, found);
  std::string error;
  return bytes != nullptr &&
         DecodeMenuResource(static_cast<const uint8_t*>(bytes), SizeofResource(module, found), items, &error);
}

}  // namespace menus

using menus::FindMenu;
using menus::Menu;

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
  std::vector<MenuTemplateItem> items;
  if (!menus::ReadMenuTemplate(instance, name, &items)) return nullptr;
  return menus::BuildMenu(items);
}

HMENU CreateMenu(void) { return menus::NewMenu(false); }
HMENU CreatePopupMenu(void) { return menus::NewMenu(true); }

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  Menu* m = FindMenu(menu);
  if (m == nullptr) return FALSE;
  menus::Item item;
  item.separator = (flags & MF_SEPARATOR) != 0;
  item.grayed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
  item.checked = (flags & MF_CHECKED) != 0;
  if (flags & MF_POPUP) {
    HMENU popup = reinterpret_cast<HMENU>(idOrPopup);
    if (item.separator || FindMenu(popup) == nullptr || menus::Reaches(popup, menu)) return FALSE;
    item.popup = popup;
  } else {
    item.id = static_cast<UINT>(idOrPopup);
  }
  if (!item.separator && text != nullptr) {
    size_t n = 0;
    while (n < static_cast<size_t>(kMenuMaxText) && text[n] != 0) ++n;
    item.text.assign(text, n);
  }
  m->items.push_back(std::move(item));
  return TRUE;
}

BOOL DestroyMenu(HMENU menu) {
  auto& all = menus::TheStore().menus;
  if (FindMenu(menu) == nullptr) return FALSE;
  std::vector<HMENU> pending{menu};
  while (!pending.empty()) {
    HMENU h = pending.back();
    pending.pop_back();
    auto it = all.find(reinterpret_cast<uintptr_t>(h));
    if (it == all.end()) continue;
    for (const menus::Item& item : it->second->items)
      if (item.popup != nullptr) pending.push_back(item.popup);
    all.erase(it);
  }
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return FindMenu(menu) != nullptr; }

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* m = FindMenu(menu);
  if (m == nullptr || position < 0 || static_cast<size_t>(position) >= m->items.size()) return nullptr;
  HMENU popup = m->items[position].popup;
  return FindMenu(popup) != nullptr ? popup : nullptr;
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = FindMenu(menu);
  return m == nullptr ? -1 : static_cast<int>(m->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = FindMenu(menu);
  if (m == nullptr || position < 0 || static_cast<size_t>(position) >= m->items.size()) return UINT(-1);
  const menus::Item& item = m->items[position];
  return item.popup != nullptr ? UINT(-1) : item.id;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  menus::Item* found = menus::Locate(menu, item, flags).item();
  if (found == nullptr) return DWORD(-1);
  DWORD previous = found->checked ? MF_CHECKED : MF_UNCHECKED;
  found->checked = (flags & MF_CHECKED) != 0;
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  if (first > last) return FALSE;
  Menu* m = nullptr;
  size_t from = 0, to = 0;
  if (flags & MF_BYPOSITION) {
    m = FindMenu(menu);
    if (m == nullptr || last >= m->items.size() || check < first || check > last) return FALSE;
    from = first;
    to = last;
  } else {
    menus::Found found = menus::Locate(menu, check, MF_BYCOMMAND);
    if (found.menu == nullptr || check < first || check > last) return FALSE;
    m = found.menu;
    to = m->items.size() - 1;
  }
  for (size_t i = from; i <= to; ++i) {
    menus::Item& it = m->items[i];
    if (it.separator || it.popup != nullptr) continue;
    bool byPosition = (flags & MF_BYPOSITION) != 0;
    if (!byPosition && (it.id < first || it.id > last)) continue;
    bool on = byPosition ? i == check : it.id == check;
    it.checked = on;
    if (on) it.radio = true;
  }
  return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  menus::Item* found = menus::Locate(menu, item, flags).item();
  if (found == nullptr) return -1;
  BOOL previous = found->grayed ? MF_GRAYED : MF_ENABLED;
  found->grayed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
  return previous;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info) {
  if (info == nullptr || info->cbSize < offsetof(MENUITEMINFOW, fType) || info->cbSize > sizeof *info)
    return FALSE;
  menus::Item* found = menus::Locate(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND).item();
  if (found == nullptr) return FALSE;
  auto fits = [&](size_t offset, size_t size) { return offset + size <= info->cbSize; };
  UINT mask = info->fMask;
  if ((mask & MIIM_STATE) && !fits(offsetof(MENUITEMINFOW, fState), sizeof info->fState)) return FALSE;
  if ((mask & MIIM_ID) && !fits(offsetof(MENUITEMINFOW, wID), sizeof info->wID)) return FALSE;
  if ((mask & MIIM_SUBMENU) && !fits(offsetof(MENUITEMINFOW, hSubMenu), sizeof info->hSubMenu)) return FALSE;
  if ((mask & MIIM_TYPE) && !fits(offsetof(MENUITEMINFOW, cch), sizeof info->cch)) return FALSE;
  if (mask & MIIM_STATE) info->fState = (found->checked ? MFS_CHECKED : 0) | (found->grayed ? MFS_GRAYED : 0);
  if (mask & MIIM_ID) info->wID = found->popup != nullptr ? 0 : found->id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = found->popup;
  if (mask & MIIM_TYPE) {
    info->fType = (found->separator ? MFT_SEPARATOR : MFT_STRING) | (found->radio ? MFT_RADIOCHECK : 0);
    UINT length = static_cast<UINT>(found->text.size());
    if (info->dwTypeData != nullptr && info->cch > 0) {
      UINT n = std::min(length, info->cch - 1);
      std::memcpy(info->dwTypeData, found->text.data(), n * sizeof(WCHAR));
      info->dwTypeData[n] = 0;
    }
    info->cch = length;
  }
  return TRUE;
}
