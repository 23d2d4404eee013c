// The scenario parser on any bytes: it reports errors, it never crashes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Scenario scenario;
  std::vector<std::string> errors;
  ParseScenario(std::string(reinterpret_cast<const char*>(data), size), "fuzz", &scenario, &errors);
  return 0;
}
