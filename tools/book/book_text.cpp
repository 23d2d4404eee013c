#include "tools/book/book_text.h"

#include <algorithm>
#include <cstdio>

namespace book {

namespace {

constexpr char32_t kMaqaf = 0x05BE;
constexpr char32_t kSofPasuq = 0x05C3;
constexpr char32_t kGeresh = 0x05F3;
constexpr char32_t kGershayim = 0x05F4;
constexpr char32_t kFirstMark = 0x0591;
constexpr char32_t kLastMark = 0x05C7;

std::string CodePointName(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

CharMapping Stored(uint8_t code) { return {CharMapping::kStored, code, {}}; }
CharMapping Refused(std::string why) { return {CharMapping::kRefused, 0, std::move(why)}; }

uint8_t Mirror(uint8_t c) {
  switch (c) {
    case '(': return ')';
    case ')': return '(';
    case '[': return ']';
    case ']': return '[';
    case kOpenBraceCode: return '}';
    case '}': return kOpenBraceCode;
    default: return c;
  }
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

Utf8Char DecodeUtf8(std::string_view text) {
  Utf8Char r;
  if (text.empty()) return r;
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t b0 = byte(0);
  r.length = 1;
  if (b0 < 0x80) {
    r.codePoint = b0;
    r.valid = true;
    return r;
  }
  size_t need;
  char32_t cp;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1, cp = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2, cp = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    return r;
  }
  if (text.size() < need + 1) return r;
  for (size_t i = 1; i <= need; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return r;
    cp = cp << 6 | (byte(i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return r;
  r.codePoint = cp;
  r.length = need + 1;
  r.valid = true;
  return r;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | c >> 6));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | c >> 12));
    out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | c >> 18));
    out->push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

CharMapping MapSourceChar(char32_t c) {
  if (c >= kFirstLetter && c <= kLastLetter) {
    return Stored(static_cast<uint8_t>(kFirstLetterCode + (c - kFirstLetter)));
  }
  switch (c) {
    case kMaqaf: return Stored(' ');
    case kSofPasuq: return Stored(':');
    case kGeresh: return Stored('\'');
    case kGershayim: return Stored('"');
    case '{': return Stored(kOpenBraceCode);
    case '~':
      return Refused("'~' is not allowed: the stored text uses it for '{'");
    case '\t': return Refused("tab character: use spaces");
    case '\r': return Refused("carriage return: the file must use LF line endings");
    default: break;
  }
  if (c >= kFirstMark && c <= kLastMark) return {CharMapping::kDropped, 0, {}};
  if (c >= 'a' && c <= 'z') {
    return Refused(std::string("lowercase Latin letter '") + static_cast<char>(c) +
                   "' is not allowed: the stored text uses a-z for the Hebrew letters");
  }
  if (c >= 0x20 && c < 0x7F) return Stored(static_cast<uint8_t>(c));
  if (c < 0x20 || c == 0x7F) return Refused("control character " + CodePointName(c) + " is not allowed");
  std::string shown;
  AppendUtf8(c, &shown);
  return Refused("character " + CodePointName(c) + " '" + shown +
                 "' is not allowed: only Hebrew letters, space and printable ASCII");
}

std::string DisplayOrder(std::string_view text) {
  std::string out(text.rbegin(), text.rend());
  for (char& c : out) c = static_cast<char>(Mirror(static_cast<uint8_t>(c)));
  // Numbers read left to right inside right-to-left text.
  for (auto it = out.begin(); it != out.end();) {
    if (!IsDigit(static_cast<uint8_t>(*it))) {
      ++it;
      continue;
    }
    auto end = std::find_if(it, out.end(), [](char c) { return !IsDigit(static_cast<uint8_t>(c)); });
    std::reverse(it, end);
    it = end;
  }
  return out;
}

std::string BookCodeToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    uint8_t c = static_cast<uint8_t>(ch);
    if (c >= kFirstLetterCode && c < kFirstLetterCode + (kLastLetter - kFirstLetter + 1)) {
      AppendUtf8(kFirstLetter + (c - kFirstLetterCode), &out);
    } else if (c == kOpenBraceCode) {
      out.push_back('{');
    } else {
      AppendUtf8(c, &out);
    }
  }
  return out;
}

}  // namespace book
