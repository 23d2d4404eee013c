// UTF-8 and UTF-16 for the window system's own text (paths, scenario files).
#pragma once

#include <string>

// False on a malformed sequence, an overlong form, a surrogate or a value
// past U+10FFFF; *out then holds what came before it.
bool Utf8ToUtf16(const std::string& in, std::u16string* out);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& in);
