#include "platform/menus/menu_resource.h"

#include <cstring>

namespace {

constexpr char kMagic[4] = {'L', 'M', 'M', 'N'};
// MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR.
constexpr uint16_t kPopup = 0x0010;
constexpr uint16_t kSeparator = 0x0800;
constexpr uint16_t kKnownFlags = 0x0001 | 0x0002 | 0x0008 | kPopup | kSeparator;
constexpr uint16_t kDropDown = 0x0008;
constexpr size_t kButtonWords = 7;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put16(std::vector<uint8_t>* out, unsigned v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

struct Writer {
  std::vector<uint8_t>* out;
  std::string* error;
  int items = 0;

  bool List(const std::vector<MenuTemplateItem>& list, int depth) {
    if (depth > kMenuMaxDepth) return Fail("menu nests deeper than " + std::to_string(kMenuMaxDepth));
    Put16(out, static_cast<unsigned>(list.size()));
    for (const MenuTemplateItem& item : list) {
      if (++items > kMenuMaxItems) return Fail("menu has more than " + std::to_string(kMenuMaxItems) + " items");
      if (item.flags & ~kKnownFlags) return Fail("menu item has unknown flags");
      if ((item.flags & kPopup) && (item.flags & kSeparator))
        return Fail("menu item is both a pop-up and a separator");
      if (!(item.flags & kPopup) && !item.items.empty()) return Fail("menu item has items but is no pop-up");
      if (item.text.size() > static_cast<size_t>(kMenuMaxText)) return Fail("menu item text is too long");
      Put16(out, item.flags);
      Put16(out, item.id);
      Put16(out, static_cast<unsigned>(item.text.size()));
      for (char16_t c : item.text) Put16(out, c);
      if ((item.flags & kPopup) && !List(item.items, depth + 1)) return false;
    }
    return true;
  }

  bool Fail(const std::string& why) {
    *error = why;
    return false;
  }
};

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 4;
  int items = 0;
  std::string* error;

  bool Word(uint16_t* v) {
    if (size - at < 2) return false;
    *v = Get16(data + at);
    at += 2;
    return true;
  }

  bool List(std::vector<MenuTemplateItem>* list, int depth) {
    if (depth > kMenuMaxDepth) return Fail("menu nests too deep");
    uint16_t count = 0;
    if (!Word(&count)) return Fail("menu ends inside a list");
    for (unsigned i = 0; i < count; ++i) {
      if (++items > kMenuMaxItems) return Fail("menu has too many items");
      MenuTemplateItem item;
      uint16_t length = 0;
      if (!Word(&item.flags) || !Word(&item.id) || !Word(&length)) return Fail("menu ends inside an item");
      if (item.flags & ~kKnownFlags) return Fail("menu item has unknown flags");
      if ((item.flags & kPopup) && (item.flags & kSeparator))
        return Fail("menu item is both a pop-up and a separator");
      if (length > kMenuMaxText) return Fail("menu item text is too long");
      if ((size - at) / 2 < length) return Fail("menu item text runs past the end");
      item.text.resize(length);
      for (uint16_t k = 0; k < length; ++k) item.text[k] = static_cast<char16_t>(Get16(data + at + 2 * k));
      at += 2u * length;
      if ((item.flags & kPopup) && !List(&item.items, depth + 1)) return false;
      list->push_back(std::move(item));
    }
    return true;
  }

  bool Fail(const std::string& why) {
    *error = why;
    return false;
  }
};

}  // namespace

bool EncodeMenuResource(const std::vector<MenuTemplateItem>& popups, std::vector<uint8_t>* out,
                        std::string* error) {
  out->assign(kMagic, kMagic + 4);
  Writer w{out, error, 0};
  return w.List(popups, 1);
}

bool DecodeMenuResource(const uint8_t* data, size_t size, std::vector<MenuTemplateItem>* popups,
                        std::string* error) {
  popups->clear();
  if (data == nullptr || size < 4 || std::memcmp(data, kMagic, 4) != 0) {
    *error = "not a menu resource";
    return false;
  }
  Reader r{data, size, 4, 0, error};
  if (!r.List(popups, 1)) {
    popups->clear();
    return false;
  }
  if (r.at != size) {
    popups->clear();
    *error = "menu resource has bytes after its items";
    return false;
  }
  return true;
}

std::vector<uint8_t> EncodeMenuBarDescription(const MenuBarDescription& d) {
  std::vector<uint8_t> out;
  Put16(&out, d.menuId);
  Put16(&out, static_cast<unsigned>(d.buttons.size()));
  for (const MenuBarButton& b : d.buttons) {
    for (uint16_t w : {b.image, b.command, b.state, b.style, b.stringId, b.reserved, b.popup}) Put16(&out, w);
  }
  return out;
}

bool DecodeMenuBarDescription(const uint8_t* data, size_t size, MenuBarDescription* d,
                              std::string* error) {
  *d = MenuBarDescription{};
  if (data == nullptr || size < 4 || size % 2 != 0) {
    *error = "menu-bar description is not a whole number of words, at least two";
    return false;
  }
  uint16_t count = Get16(data + 2);
  if (count > kMenuBarMaxButtons) {
    *error = "menu-bar description has more than " + std::to_string(kMenuBarMaxButtons) + " buttons";
    return false;
  }
  if (size != 4 + count * kButtonWords * 2) {
    *error = "menu-bar description holds " + std::to_string(size / 2) + " words, not 2 + 7 x " +
             std::to_string(count);
    return false;
  }
  d->menuId = Get16(data);
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t* p = data + 4 + i * kButtonWords * 2;
    MenuBarButton b;
    b.image = Get16(p);
    b.command = Get16(p + 2);
    b.state = Get16(p + 4);
    b.style = Get16(p + 6);
    b.stringId = Get16(p + 8);
    b.reserved = Get16(p + 10);
    b.popup = Get16(p + 12);
    d->buttons.push_back(b);
  }
  return true;
}

bool CheckMenuBarAgainstMenu(const MenuBarDescription& d, const std::vector<MenuTemplateItem>& popups,
                             std::string* error) {
  for (size_t i = 0; i < d.buttons.size(); ++i) {
    const MenuBarButton& b = d.buttons[i];
    if (!(b.style & kDropDown)) continue;
    if (b.popup >= popups.size() || !(popups[b.popup].flags & kPopup)) {
      *error = "menu-bar button " + std::to_string(i + 1) + " names pop-up " + std::to_string(b.popup) +
               ", which menu " + std::to_string(d.menuId) + " does not have";
      return false;
    }
  }
  return true;
}
