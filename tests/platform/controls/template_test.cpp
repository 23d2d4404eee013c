#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/controls/dialog_template.h"

namespace {

DialogTemplate SearchLike() {
  DialogTemplate d;
  d.style = WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT;
  d.exStyle = WS_EX_CAPTIONOKBTN;
  d.x = 0;
  d.y = -3;
  d.width = 126;
  d.height = 131;
  d.caption = u"Lumora";
  d.pointSize = 8;
  d.face = u"System";
  DialogItem label;
  label.style = SS_CENTER | SS_NOPREFIX;
  label.x = label.y = 7;
  label.width = 112;
  label.height = 8;
  label.id = 0xFFFF;
  label.text = u"Search";
  DialogItem edit;
  edit.classNumber = DIALOG_CLASS_EDIT;
  edit.style = ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  edit.x = 7;
  edit.y = 21;
  edit.width = 112;
  edit.height = 43;
  edit.id = 1013;
  DialogItem keyboard;
  keyboard.style = SS_BITMAP;
  keyboard.x = 7;
  keyboard.y = 71;
  keyboard.resourceId = 119;
  DialogItem custom;
  custom.classNumber = DIALOG_CLASS_NAMED;
  custom.className = u"MyClass";
  custom.text = u"\u05D0\u05D1";
  d.items = {label, edit, keyboard, custom};
  return d;
}

bool Same(const DialogTemplate& a, const DialogTemplate& b) {
  auto sameItem = [](const DialogItem& x, const DialogItem& y) {
    return x.style == y.style && x.exStyle == y.exStyle && x.x == y.x && x.y == y.y && x.width == y.width &&
           x.height == y.height && x.id == y.id && x.classNumber == y.classNumber &&
           x.className == y.className && x.text == y.text && x.resourceId == y.resourceId;
  };
  if (a.items.size() != b.items.size()) return false;
  for (size_t i = 0; i < a.items.size(); ++i)
    if (!sameItem(a.items[i], b.items[i])) return false;
  return a.style == b.style && a.exStyle == b.exStyle && a.x == b.x && a.y == b.y && a.width == b.width &&
         a.height == b.height && a.caption == b.caption && a.pointSize == b.pointSize && a.face == b.face;
}

std::vector<uint8_t> Encode(const DialogTemplate& d) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(EncodeDialogTemplate(d, &bytes, &error)) << error;
  return bytes;
}

TEST(DialogTemplate, RoundTripsEveryField) {
  DialogTemplate empty;
  for (const DialogTemplate& d : {SearchLike(), empty}) {
    std::vector<uint8_t> bytes = Encode(d);
    ASSERT_GE(bytes.size(), 28u);
    EXPECT_EQ(DialogTemplateSize(bytes.data()), bytes.size());
    DialogTemplate back;
    std::string error;
    ASSERT_TRUE(DecodeDialogTemplate(bytes.data(), bytes.size(), &back, &error)) << error;
    EXPECT_TRUE(Same(d, back));
    std::vector<uint8_t> again = Encode(back);
    EXPECT_EQ(again, bytes);
  }
}

TEST(DialogTemplate, HeaderLayout) {
  std::vector<uint8_t> bytes = Encode(SearchLike());
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "LMDT");
  uint32_t size = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
  EXPECT_EQ(size, bytes.size());
  EXPECT_EQ(bytes[20], 126);  // width, little-endian
  EXPECT_EQ(bytes[26], 4);    // item count
}

struct Bad {
  const char* name;
  void (*spoil)(DialogTemplate*);
};

TEST(DialogTemplate, WriterRefusesWhatCannotBeRead) {
  const Bad rows[] = {
      {"negative width", [](DialogTemplate* d) { d->width = -1; }},
      {"negative item height", [](DialogTemplate* d) { d->items[1].height = -5; }},
      {"unknown class number", [](DialogTemplate* d) { d->items[0].classNumber = 9; }},
      {"empty class name", [](DialogTemplate* d) { d->items[3].className.clear(); }},
      {"face without size", [](DialogTemplate* d) { d->pointSize = 0; }},
      {"text and resource", [](DialogTemplate* d) { d->items[2].text = u"x"; }},
      {"long caption", [](DialogTemplate* d) { d->caption.assign(kDialogMaxText + 1, u'a'); }},
      {"too many items", [](DialogTemplate* d) { d->items.resize(kDialogMaxItems + 1, d->items[0]); }},
  };
  for (const Bad& row : rows) {
    SCOPED_TRACE(row.name);
    DialogTemplate d = SearchLike();
    row.spoil(&d);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(EncodeDialogTemplate(d, &bytes, &error));
    EXPECT_FALSE(error.empty());
  }
  DialogTemplate most = SearchLike();
  most.items.resize(kDialogMaxItems, most.items[0]);
  most.caption.assign(kDialogMaxText, u'a');
  Encode(most);
}

struct Corrupt {
  const char* name;
  size_t offset;
  std::vector<uint8_t> bytes;  // written at offset; empty: cut there
};

TEST(DialogTemplate, ReaderRefusesMalformedBytes) {
  const std::vector<uint8_t> good = Encode(SearchLike());
  const size_t n = good.size();
  const Corrupt rows[] = {
      {"magic", 0, {'L', 'M', 'D', 'X'}},
      {"size larger than the bytes", 4, {static_cast<uint8_t>(n + 1)}},
      {"size smaller than the items", 4, {static_cast<uint8_t>(n - 1)}},
      {"size below the header", 4, {27, 0, 0, 0}},
      {"negative height", 22, {0xFF, 0xFF}},
      {"too many items", 26, {0x01, 0x01}},
      {"more items than bytes", 26, {5}},
      {"caption longer than the bytes", 28, {0xF0, 0x00}},
      {"caption past the limit", 28, {0x01, 0x04}},
      {"class number zero", 0, {}},
  };
  for (const Corrupt& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> bytes = good;
    if (row.bytes.empty()) {
      // The first item's class is a number: make it 0xFFFF 0.
      size_t classAt = 28 + 2 + 2 * 6 + 2 + 2 * 6 + 4 + 4 + 8 + 2;
      bytes[classAt] = bytes[classAt + 1] = 0xFF;
      bytes[classAt + 2] = bytes[classAt + 3] = 0;
    } else {
      std::copy(row.bytes.begin(), row.bytes.end(), bytes.begin() + static_cast<long>(row.offset));
    }
    DialogTemplate out;
    std::string error;
    EXPECT_FALSE(DecodeDialogTemplate(bytes.data(), bytes.size(), &out, &error));
    EXPECT_FALSE(error.empty());
  }
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  DialogTemplate out;
  EXPECT_TRUE(DecodeDialogTemplate(longer.data(), longer.size(), &out, nullptr))
      << "bytes after the template's own size are not its";
  longer[4] = static_cast<uint8_t>(n + 1);
  EXPECT_FALSE(DecodeDialogTemplate(longer.data(), longer.size(), &out, nullptr)) << "nothing may follow";
}

TEST(DialogTemplate, EveryCutIsRefused) {
  const std::vector<uint8_t> good = Encode(SearchLike());
  for (size_t cut = 0; cut < good.size(); ++cut) {
    SCOPED_TRACE(cut);
    DialogTemplate out;
    EXPECT_FALSE(DecodeDialogTemplate(good.data(), cut, &out, nullptr));
    // The same cut with the size field telling the truth.
    std::vector<uint8_t> shorter(good.begin(), good.begin() + static_cast<long>(cut));
    if (cut >= 8) {
      for (int i = 0; i < 4; ++i) shorter[4 + i] = static_cast<uint8_t>(cut >> (8 * i));
      EXPECT_FALSE(DecodeDialogTemplate(shorter.data(), shorter.size(), &out, nullptr));
    }
  }
  EXPECT_FALSE(DecodeDialogTemplate(nullptr, 100, nullptr, nullptr));
}

}  // namespace
