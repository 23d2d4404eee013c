// PalmDoc LZ77 encoder for the stored book.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The smallest stream that the format's tokens can give for these bytes
// (single literals, space pairs, literal runs of 1 to 8 bytes, back-references
// of 3 to 10 bytes up to 2047 bytes back). Among streams of that size, the
// one with the fewest tokens; the result depends only on the input.
std::vector<uint8_t> CompressPalmDoc(const uint8_t* data, size_t size);
