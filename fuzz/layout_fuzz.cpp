// The article view on any article bytes, at any pane size and scroll
// position (the input is described in tests/view/layout_exercise.h).
#include <cstdint>
#include <cstdlib>

#include "tests/view/layout_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!layoutexercise::Exercise(data, size)) std::abort();
  return 0;
}
