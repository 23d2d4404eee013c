// Text of the book source and its stored form, BookCode: one byte per
// character, the 27 Hebrew letters at 'a'..'{' and '{' itself stored as '~'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace book {

constexpr char32_t kFirstLetter = 0x05D0;  // alef
constexpr char32_t kLastLetter = 0x05EA;   // tav
constexpr uint8_t kFirstLetterCode = 0x61;
constexpr uint8_t kOpenBraceCode = 0x7E;

// One UTF-8 sequence at the front of `text`. An invalid sequence gives
// valid == false and length 1, so a scan moves on by one byte.
struct Utf8Char {
  char32_t codePoint = 0;
  size_t length = 0;
  bool valid = false;
};
Utf8Char DecodeUtf8(std::string_view text);
void AppendUtf8(char32_t codePoint, std::string* out);

// What one source character becomes in stored text.
struct CharMapping {
  enum Kind { kStored, kDropped, kRefused } kind = kRefused;
  uint8_t code = 0;           // kStored
  std::string why;            // kRefused: the whole message
};
CharMapping MapSourceChar(char32_t codePoint);

// Logical order <-> display order of right-to-left text: the bytes reversed,
// brackets turned to face the other way, but each run of ASCII digits kept
// in its own left-to-right order. Applying it twice gives the input back.
std::string DisplayOrder(std::string_view bookCode);

// Stored bytes back to UTF-8, in the order given.
std::string BookCodeToUtf8(std::string_view bookCode);

}  // namespace book
