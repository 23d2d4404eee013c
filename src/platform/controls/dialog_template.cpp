#include "platform/controls/dialog_template.h"

namespace {

constexpr char kMagic[4] = {'L', 'M', 'D', 'T'};
constexpr size_t kHeader = 28;
constexpr uint16_t kNumber = 0xFFFF;

class Writer {
 public:
  explicit Writer(std::vector<uint8_t>* out) : out_(out) {}
  void U16(uint32_t v) {
    out_->push_back(static_cast<uint8_t>(v));
    out_->push_back(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Text(const std::u16string& s) {
    U16(static_cast<uint32_t>(s.size()));
    for (char16_t c : s) U16(c);
  }
  void NameOrNumber(const std::u16string& name, uint16_t number) {
    if (number != 0) {
      U16(kNumber);
      U16(number);
    } else {
      Text(name);
    }
  }

 private:
  std::vector<uint8_t>* out_;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool U16(uint16_t* v) {
    if (end_ - p_ < 2) return false;
    *v = static_cast<uint16_t>(p_[0] | p_[1] << 8);
    p_ += 2;
    return true;
  }
  bool I16(int16_t* v) {
    uint16_t u;
    if (!U16(&u)) return false;
    *v = static_cast<int16_t>(u);
    return true;
  }
  bool U32(uint32_t* v) {
    uint16_t lo, hi;
    if (!U16(&lo) || !U16(&hi)) return false;
    *v = static_cast<uint32_t>(lo) | static_cast<uint32_t>(hi) << 16;
    return true;
  }
  bool TextOfLength(uint16_t n, std::u16string* s) {
    if (n > kDialogMaxText || static_cast<size_t>(end_ - p_) < size_t{n} * 2) return false;
    s->resize(n);
    for (uint16_t i = 0; i < n; ++i) {
      uint16_t c = 0;
      U16(&c);
      (*s)[i] = static_cast<char16_t>(c);
    }
    return true;
  }
  bool Text(std::u16string* s) {
    uint16_t n;
    return U16(&n) && TextOfLength(n, s);
  }
  bool NameOrNumber(std::u16string* name, uint16_t* number) {
    uint16_t n;
    if (!U16(&n)) return false;
    if (n == kNumber) return U16(number) && *number != 0;
    *number = 0;
    return TextOfLength(n, name);
  }
  bool AtEnd() const { return p_ == end_; }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

bool Fail(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
}

bool ValidBox(int16_t width, int16_t height) { return width >= 0 && height >= 0; }

}  // namespace

DialogItem MakeDialogItem(uint16_t classNumber, uint32_t style, int16_t x, int16_t y, int16_t width,
                          int16_t height, uint16_t id, std::u16string text) {
  DialogItem item;
  item.classNumber = classNumber;
  item.style = style;
  item.x = x;
  item.y = y;
  item.width = width;
  item.height = height;
  item.id = id;
  item.text = std::move(text);
  return item;
}

const char16_t* DialogClassName(uint16_t number) {
  switch (number) {
    case DIALOG_CLASS_STATIC: return u"STATIC";
    case DIALOG_CLASS_BUTTON: return u"BUTTON";
    case DIALOG_CLASS_EDIT: return u"EDIT";
    case DIALOG_CLASS_LISTBOX: return u"LISTBOX";
    case DIALOG_CLASS_SCROLLBAR: return u"SCROLLBAR";
    default: return nullptr;
  }
}

bool EncodeDialogTemplate(const DialogTemplate& d, std::vector<uint8_t>* out, std::string* error) {
  if (!ValidBox(d.width, d.height)) return Fail(error, "dialog has a negative size");
  if (d.items.size() > kDialogMaxItems) return Fail(error, "dialog has more than 256 items");
  if (d.caption.size() > kDialogMaxText || d.face.size() > kDialogMaxText)
    return Fail(error, "dialog caption or face is longer than 1024 units");
  if (d.pointSize == 0 && !d.face.empty()) return Fail(error, "dialog names a face without a size");
  for (size_t i = 0; i < d.items.size(); ++i) {
    const DialogItem& item = d.items[i];
    std::string where = "dialog item " + std::to_string(i) + ": ";
    if (!ValidBox(item.width, item.height)) return Fail(error, where + "negative size");
    if (item.classNumber == DIALOG_CLASS_NAMED ? item.className.empty()
                                                : DialogClassName(item.classNumber) == nullptr)
      return Fail(error, where + "no class");
    if (item.className.size() > kDialogMaxText || item.text.size() > kDialogMaxText)
      return Fail(error, where + "text longer than 1024 units");
    if (item.resourceId != 0 && !item.text.empty())
      return Fail(error, where + "both a text and a resource id");
  }
  out->assign(kMagic, kMagic + 4);
  Writer w(out);
  w.U32(0);  // the size, set below
  w.U32(d.style);
  w.U32(d.exStyle);
  for (int16_t v : {d.x, d.y, d.width, d.height}) w.U16(static_cast<uint16_t>(v));
  w.U16(d.pointSize);
  w.U16(static_cast<uint32_t>(d.items.size()));
  w.Text(d.caption);
  w.Text(d.face);
  for (const DialogItem& item : d.items) {
    w.U32(item.style);
    w.U32(item.exStyle);
    for (int16_t v : {item.x, item.y, item.width, item.height}) w.U16(static_cast<uint16_t>(v));
    w.U16(item.id);
    w.NameOrNumber(item.className, item.classNumber);
    w.NameOrNumber(item.text, item.resourceId);
  }
  uint32_t size = static_cast<uint32_t>(out->size());
  for (int i = 0; i < 4; ++i) (*out)[4 + i] = static_cast<uint8_t>(size >> (8 * i));
  return true;
}

size_t DialogTemplateSize(const uint8_t* h) {
  if (h == nullptr) return 0;
  for (int i = 0; i < 4; ++i)
    if (h[i] != static_cast<uint8_t>(kMagic[i])) return 0;
  size_t size = static_cast<size_t>(h[4]) | static_cast<size_t>(h[5]) << 8 |
                static_cast<size_t>(h[6]) << 16 | static_cast<size_t>(h[7]) << 24;
  return size < kHeader ? 0 : size;
}

bool DecodeDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* d, std::string* error) {
  if (data == nullptr || d == nullptr || size < kHeader) return Fail(error, "dialog template is too short");
  size_t claimed = DialogTemplateSize(data);
  if (claimed == 0) return Fail(error, "not a dialog template");
  if (claimed > size) return Fail(error, "dialog template is cut short");
  Reader r(data + 8, claimed - 8);
  DialogTemplate out;
  uint16_t count = 0;
  if (!r.U32(&out.style) || !r.U32(&out.exStyle) || !r.I16(&out.x) || !r.I16(&out.y) ||
      !r.I16(&out.width) || !r.I16(&out.height) || !r.U16(&out.pointSize) || !r.U16(&count))
    return Fail(error, "dialog template header is cut short");
  if (!ValidBox(out.width, out.height)) return Fail(error, "dialog has a negative size");
  if (count > kDialogMaxItems) return Fail(error, "dialog has more than 256 items");
  if (!r.Text(&out.caption) || !r.Text(&out.face)) return Fail(error, "dialog caption or face is bad");
  if (out.pointSize == 0 && !out.face.empty()) return Fail(error, "dialog names a face without a size");
  for (uint16_t i = 0; i < count; ++i) {
    DialogItem item;
    std::string where = "dialog item " + std::to_string(i) + ": ";
    if (!r.U32(&item.style) || !r.U32(&item.exStyle) || !r.I16(&item.x) || !r.I16(&item.y) ||
        !r.I16(&item.width) || !r.I16(&item.height) || !r.U16(&item.id))
      return Fail(error, where + "cut short");
    if (!ValidBox(item.width, item.height)) return Fail(error, where + "negative size");
    if (!r.NameOrNumber(&item.className, &item.classNumber)) return Fail(error, where + "bad class");
    if (item.classNumber == DIALOG_CLASS_NAMED ? item.className.empty()
                                                : DialogClassName(item.classNumber) == nullptr)
      return Fail(error, where + "unknown class");
    if (!r.NameOrNumber(&item.text, &item.resourceId)) return Fail(error, where + "bad text");
    out.items.push_back(std::move(item));
  }
  if (!r.AtEnd()) return Fail(error, "bytes follow the last dialog item");
  *d = std::move(out);
  return true;
}
