// The generator of the default book source: an invented book of pseudo-words
// with an invented line-by-line commentary, shaped like the book the reader
// was made for, so that every size and count the reader meets is realistic.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

inline constexpr std::uint64_t kDefaultBookSeed = 5781;

// The complete book source (UTF-8) for `seed`. It depends on nothing but the
// seed: the same bytes with every compiler, library and platform.
std::string GenerateBook(std::uint64_t seed);

// The command line of lumora-bookgen (argv[0] is the program name). Returns
// the exit status: 0, 1 when the output cannot be written, 2 for bad usage.
int RunBookgen(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
