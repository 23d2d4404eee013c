// The dialog template reader on any bytes: it refuses or reads, and what it
// reads writes back to the same bytes.
#include <cstdint>
#include <cstdlib>

#include "platform/controls/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DialogTemplate dialog;
  std::string error;
  if (!DecodeDialogTemplate(data, size, &dialog, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  std::vector<uint8_t> again;
  if (!EncodeDialogTemplate(dialog, &again, &error)) std::abort();
  if (again.size() != DialogTemplateSize(data) || !std::equal(again.begin(), again.end(), data)) std::abort();
  return 0;
}
