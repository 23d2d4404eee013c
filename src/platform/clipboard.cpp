// The clipboard in this process. A backend that reaches a system clipboard
// is told of every change and asked when the program reads.
#include "platform/clipboard.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/clipboard_bridge.h"
#include "platform/memory.h"

namespace {

struct Clipboard {
  bool open = false;
  HWND owner = nullptr;
  bool changed = false;  // since it was opened
  std::map<UINT, HLOCAL> blocks;
  std::vector<std::u16string> formatNames;  // index + 0xC000
  const ClipboardBridge* bridge = nullptr;
};

// Never destroyed: what is on the clipboard stays there, reachable, until
// the process ends.
Clipboard& TheClipboard() {
  static Clipboard* c = new Clipboard;
  return *c;
}

void FreeAll(Clipboard& c) {
  for (auto& [format, block] : c.blocks) LocalFree(block);
  c.blocks.clear();
}

// Bring in what another program put on the system clipboard, if anything.
void Refresh(Clipboard& c) {
  if (c.bridge == nullptr || c.bridge->fetch == nullptr) return;
  std::map<UINT, std::vector<uint8_t>> fetched;
  if (!c.bridge->fetch(&fetched)) return;
  FreeAll(c);
  for (auto& [format, bytes] : fetched) {
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, bytes.size());
    if (block == nullptr) continue;
    if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(block));
    c.blocks[format] = block;
  }
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
  Clipboard& c = TheClipboard();
  if (c.open) return FALSE;
  c.open = true;
  c.owner = owner;
  c.changed = false;
  Refresh(c);
  return TRUE;
}

BOOL CloseClipboard(void) {
  Clipboard& c = TheClipboard();
  if (!c.open) return FALSE;
  c.open = false;
  if (c.changed && c.bridge != nullptr && c.bridge->publish != nullptr) {
    std::map<UINT, std::vector<uint8_t>> published;
    for (auto& [format, block] : c.blocks) {
      const uint8_t* p = static_cast<const uint8_t*>(block);
      published[format].assign(p, p + LocalSize(block));
    }
    c.bridge->publish(published);
  }
  return TRUE;
}

BOOL EmptyClipboard(void) {
  Clipboard& c = TheClipboard();
  if (!c.open) return FALSE;
  FreeAll(c);
  c.changed = true;
  return TRUE;
}

HANDLE GetClipboardData(UINT format) {
  Clipboard& c = TheClipboard();
  if (!c.open) return nullptr;
  auto it = c.blocks.find(format);
  return it == c.blocks.end() ? nullptr : it->second;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  Clipboard& c = TheClipboard();
  if (!c.open || data == nullptr || LocalSize(data) == 0) return nullptr;
  auto it = c.blocks.find(format);
  if (it != c.blocks.end() && it->second != data) LocalFree(it->second);
  c.blocks[format] = data;
  c.changed = true;
  return data;
}

UINT RegisterClipboardFormatW(LPCWSTR name) {
  if (name == nullptr || name[0] == 0) return 0;
  Clipboard& c = TheClipboard();
  std::u16string n(name);
  for (size_t i = 0; i < c.formatNames.size(); ++i)
    if (c.formatNames[i] == n) return static_cast<UINT>(0xC000 + i);
  if (c.formatNames.size() >= 0x3FFF) return 0;
  c.formatNames.push_back(n);
  return static_cast<UINT>(0xC000 + c.formatNames.size() - 1);
}

BOOL IsClipboardFormatAvailable(UINT format) {
  Clipboard& c = TheClipboard();
  if (!c.open) Refresh(c);
  return c.blocks.count(format) != 0;
}

void SetClipboardBridge(const ClipboardBridge* bridge) { TheClipboard().bridge = bridge; }

std::u16string ClipboardFormatName(UINT format) {
  Clipboard& c = TheClipboard();
  if (format < 0xC000 || format - 0xC000 >= c.formatNames.size()) return u"";
  return c.formatNames[format - 0xC000];
}

void TestResetClipboard() {
  Clipboard& c = TheClipboard();
  FreeAll(c);
  c.open = false;
  c.owner = nullptr;
}

std::vector<uint8_t> TestClipboardBytes(UINT format) {
  Clipboard& c = TheClipboard();
  auto it = c.blocks.find(format);
  if (it == c.blocks.end()) return {};
  const uint8_t* p = static_cast<const uint8_t*>(it->second);
  return std::vector<uint8_t>(p, p + LocalSize(it->second));
}
