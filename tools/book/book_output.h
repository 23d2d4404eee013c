// What lumora-book writes: the resource pack and a C++ source that embeds it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace book {

// A C++ source defining EmbeddedResourcePack over these bytes.
std::string EmbeddingSource(const std::vector<uint8_t>& pack, std::string_view bookName);

struct OutputFile {
  std::string path;
  std::string contents;
};

// Writes each file to a temporary file beside it and renames them into
// place only once all are written, so a failure leaves every path as it was.
bool WriteOutputFiles(const std::vector<OutputFile>& files, std::string* error);

}  // namespace book
