// How a backend connects the clipboard to the system's. Internal.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

struct ClipboardBridge {
  // Called when the program closes the clipboard after changing it: the
  // formats and their bytes, to offer to other programs.
  void (*publish)(const std::map<UINT, std::vector<uint8_t>>& formats);
  // Called when the program opens the clipboard: fills in what another
  // program holds now and returns true, or returns false when the program's
  // own data is still current.
  bool (*fetch)(std::map<UINT, std::vector<uint8_t>>* formats);
};

void SetClipboardBridge(const ClipboardBridge* bridge);
// The name a registered format was registered with, or empty.
std::u16string ClipboardFormatName(UINT format);
