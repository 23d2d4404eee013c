#include "platform/window/utf8.h"

bool Utf8ToUtf16(const std::string& in, std::u16string* out) {
  out->clear();
  size_t i = 0;
  while (i < in.size()) {
    unsigned char b = static_cast<unsigned char>(in[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || in.size() - i <= static_cast<size_t>(extra)) return false;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      unsigned char n = static_cast<unsigned char>(in[i + static_cast<size_t>(k)]);
      if ((n & 0xC0) != 0x80) return false;
      c = c << 6 | (n & 0x3F);
    }
    static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c >= 0x10000) {
      out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(c));
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

std::string Utf16ToUtf8(const std::u16string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    char32_t c = in[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
