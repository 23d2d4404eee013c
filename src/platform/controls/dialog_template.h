// Dialog templates (type 5, RT_DIALOG) as the resource pack stores them.
// Written by the build tools, read by DialogBoxParamW and
// DialogBoxIndirectParamW.
//
//   offset 0   "LMDT"                       magic
//          4   u32 size                     bytes of the whole template
//          8   u32 style, u32 extended style
//         16   i16 x, y, width, height      dialog units
//         24   u16 font size in points      0: the default dialog font
//         26   u16 item count               at most 256
//         28   caption: text
//          …   font face: text              empty with the default font
//          …   items, each:
//                u32 style, u32 extended style
//                i16 x, y, width, height    dialog units
//                u16 id
//                class: name or number      1 STATIC, 2 BUTTON, 3 EDIT,
//                                           4 LISTBOX, 5 SCROLLBAR
//                text: name or number       a number is a resource id
//                                           (the bitmap of SS_BITMAP)
//
// A text is a u16 count of UTF-16 units, at most 1024, then the units. A
// name or number is a text, or 0xFFFF then the u16 number. Widths and
// heights are never negative. All numbers little-endian; nothing may follow
// the last item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum DialogClass : uint16_t {
  DIALOG_CLASS_NAMED = 0,
  DIALOG_CLASS_STATIC = 1,
  DIALOG_CLASS_BUTTON = 2,
  DIALOG_CLASS_EDIT = 3,
  DIALOG_CLASS_LISTBOX = 4,
  DIALOG_CLASS_SCROLLBAR = 5,
};

constexpr size_t kDialogMaxItems = 256;
constexpr size_t kDialogMaxText = 1024;

struct DialogItem {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, width = 0, height = 0;
  uint16_t id = 0;
  uint16_t classNumber = DIALOG_CLASS_STATIC;  // DIALOG_CLASS_NAMED: className
  std::u16string className;
  std::u16string text;
  uint16_t resourceId = 0;  // not 0: the text is this resource instead
};

struct DialogTemplate {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, width = 0, height = 0;
  std::u16string caption;
  uint16_t pointSize = 0;  // 0: the default dialog font, no face
  std::u16string face;
  std::vector<DialogItem> items;
};

// An item of a built-in class with a text.
DialogItem MakeDialogItem(uint16_t classNumber, uint32_t style, int16_t x, int16_t y, int16_t width,
                          int16_t height, uint16_t id, std::u16string text);

// The window class name of a built-in class number, or nullptr.
const char16_t* DialogClassName(uint16_t number);

bool EncodeDialogTemplate(const DialogTemplate& dialog, std::vector<uint8_t>* out,
                          std::string* error);
// `size` is how many bytes may be read; the template's own size must fit.
bool DecodeDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* dialog,
                          std::string* error);
// The size a template's header claims (0 when the magic is wrong): what a
// template given only by its address may be read up to.
size_t DialogTemplateSize(const uint8_t* header8);
