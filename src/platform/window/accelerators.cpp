// Accelerator tables: keys that become commands before the key message is
// dispatched.
#include <unordered_map>
#include <vector>

#include "platform/resource.h"
#include "platform/window/core.h"
#include "platform/window/ui_resources.h"

namespace {

struct Tables {
  std::unordered_map<uintptr_t, std::vector<ACCEL>> byHandle;
  uintptr_t next = 0x50000;
};

Tables& TheTables() {
  static Tables* t = new Tables;
  return *t;
}

HACCEL Add(std::vector<ACCEL> entries) {
  Tables& t = TheTables();
  uintptr_t n = t.next;
  t.next += 4;
  t.byHandle.emplace(n, std::move(entries));
  return reinterpret_cast<HACCEL>(n);
}

bool Down(int key) { return GetKeyState(key) < 0; }

bool Takes(const ACCEL& a, const MSG& m) {
  bool alt = Down(VK_MENU);
  if (a.fVirt & FVIRTKEY) {
    if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
    return a.key == (m.wParam & 0xFFFF) && ((a.fVirt & FCONTROL) != 0) == Down(VK_CONTROL) &&
           ((a.fVirt & FSHIFT) != 0) == Down(VK_SHIFT) && ((a.fVirt & FALT) != 0) == alt;
  }
  if (m.message != WM_CHAR && m.message != WM_SYSCHAR) return false;
  return a.key == (m.wParam & 0xFFFF) && ((a.fVirt & FALT) != 0) == alt;
}

}  // namespace

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
  HRSRC found = FindResourceW(instance, name, RT_ACCELERATOR);
  if (found == nullptr) return nullptr;
  const auto* bytes = static_cast<const uint8_t*>(LoadResource(instance, found));
  std::vector<AcceleratorEntry> entries;
  std::string error;
  if (!DecodeAcceleratorTable(bytes, SizeofResource(instance, found), &entries, &error)) return nullptr;
  std::vector<ACCEL> table;
  for (const AcceleratorEntry& e : entries) table.push_back(ACCEL{static_cast<BYTE>(e.flags), e.key, e.command});
  return Add(std::move(table));
}

HACCEL CreateAcceleratorTableW(const ACCEL* entries, int count) {
  if (entries == nullptr || count < 1 || count > kAcceleratorMaxEntries) return nullptr;
  return Add(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  return TheTables().byHandle.erase(reinterpret_cast<uintptr_t>(table)) != 0 ? TRUE : FALSE;
}

int TranslateAcceleratorW(HWND window, HACCEL table, MSG* message) {
  if (message == nullptr || win::Find(window) == nullptr) return 0;
  auto it = TheTables().byHandle.find(reinterpret_cast<uintptr_t>(table));
  if (it == TheTables().byHandle.end()) return 0;
  for (const ACCEL& a : it->second) {
    if (!Takes(a, *message)) continue;
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}
