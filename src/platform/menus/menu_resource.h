// Menu resources (type 4, RT_MENU) and menu-bar descriptions (type 10,
// RT_RCDATA, read by SHCreateMenuBar), as the resource pack stores them.
// Written by the build tools and tests, read by LoadMenuW and SHCreateMenuBar.
//
// Menu:
//   offset 0   "LMMN"                      magic
//          4   a list of items: u16 count, then count items, each
//                u16 flags     MF_POPUP, MF_SEPARATOR, MF_CHECKED, MF_GRAYED,
//                              MF_DISABLED; no other bit
//                u16 id        the command; 0 for separators and pop-ups
//                u16 length    text length in UTF-16 units (0 for separators)
//                …             the text, no terminator
//                              '&' marks the mnemonic, "&&" is a '&', the
//                              character 8 right-aligns what follows it
//                …             a pop-up's own list of items follows it
// The top list holds the menu's items, normally pop-ups; lists nest at most kMenuMaxDepth
// deep and hold at most kMenuMaxItems items in all. Nothing may follow.
//
// Menu-bar description: 16-bit words, no magic:
//   menu id, button count, then seven words per button: image (0xFFFE, none),
//   command, state (TBSTATE_), style (TBSTYLE_), string id, 0, pop-up index
//   in the menu. At most kMenuBarMaxButtons buttons; nothing may follow.
//
// All numbers little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kMenuMaxDepth = 8;
constexpr int kMenuMaxItems = 4096;
constexpr int kMenuMaxText = 1024;
constexpr int kMenuBarMaxButtons = 64;
constexpr uint16_t kMenuBarNoImage = 0xFFFE;

struct MenuTemplateItem {
  uint16_t flags = 0;
  uint16_t id = 0;
  std::u16string text;
  std::vector<MenuTemplateItem> items;  // of a pop-up
};

bool EncodeMenuResource(const std::vector<MenuTemplateItem>& popups, std::vector<uint8_t>* out,
                        std::string* error);
bool DecodeMenuResource(const uint8_t* data, size_t size, std::vector<MenuTemplateItem>* popups,
                        std::string* error);

struct MenuBarButton {
  uint16_t image = kMenuBarNoImage;
  uint16_t command = 0;
  uint16_t state = 0;
  uint16_t style = 0;
  uint16_t stringId = 0;
  uint16_t reserved = 0;
  uint16_t popup = 0;
};

struct MenuBarDescription {
  uint16_t menuId = 0;
  std::vector<MenuBarButton> buttons;
};

std::vector<uint8_t> EncodeMenuBarDescription(const MenuBarDescription& description);
bool DecodeMenuBarDescription(const uint8_t* data, size_t size, MenuBarDescription* description,
                              std::string* error);
// A drop-down button's pop-up index must name a pop-up of the menu.
bool CheckMenuBarAgainstMenu(const MenuBarDescription& description,
                             const std::vector<MenuTemplateItem>& popups, std::string* error);
