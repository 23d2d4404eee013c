// The registry file reader on any text: it reads or refuses, never crashes,
// and what it reads writes back to a text that reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string canonical;
  if (!ParseRegistryFile(text, &canonical)) return 0;
  std::string again;
  if (!ParseRegistryFile(canonical, &again) || again != canonical) std::abort();
  return 0;
}
