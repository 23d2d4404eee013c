#include "settings/settings_store.h"

#include <cstring>

#include "platform/memory.h"
#include "platform/registry.h"
#include "settings/checked_alloc.h"
#include "settings/program_state.h"

namespace {

// Reads the value of an open key into a new block of its size × `scale`
// bytes, zero beyond the data; nothing when it cannot be read.
BYTE* ReadFromKey(HKEY key, LPCWSTR name, DWORD scale, DWORD* type, DWORD* size) {
  DWORD bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, type, nullptr, &bytes) != ERROR_SUCCESS) return nullptr;
  size_t room = static_cast<size_t>(bytes) * scale;
  if (room == 0) room = 1;
  BYTE* block = static_cast<BYTE*>(CheckedAlloc(room));
  std::memset(block, 0, room);
  if (RegQueryValueExW(key, name, nullptr, nullptr, block, &bytes) != ERROR_SUCCESS) {
    LocalFree(block);
    return nullptr;
  }
  if (size != nullptr) *size = bytes;
  return block;
}

BYTE* ReadValue(LPCWSTR keyPath, LPCWSTR name, DWORD scale, DWORD* size) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  BYTE* block = ReadFromKey(key, name, scale, nullptr, size);
  RegCloseKey(key);
  return block;
}

BOOL WriteValue(LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return FALSE;
  LONG result = RegSetValueExW(key, name, 0, type, data, size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace

LONG ReadNumber(LPCWSTR keyPath, LPCWSTR name, LONG fallback) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
  DWORD type = 0, size = 0;
  LONG result = fallback;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    if (type == REG_DWORD) {
      DWORD number = 0, room = sizeof number;
      if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &room) == ERROR_SUCCESS)
        result = static_cast<LONG>(number);
    } else if (BYTE* block = ReadFromKey(key, name, 2, nullptr, &size)) {
      // The digits end at the first 0 unit or, without one, at the end of
      // the data read.
      const WCHAR* units = reinterpret_cast<const WCHAR*>(block);
      DWORD value = 0;
      for (DWORD i = 0; i < size / 2 && units[i] != 0; ++i) value = value * 10 + (static_cast<DWORD>(units[i]) - 0x30);
      result = static_cast<LONG>(value);
      LocalFree(block);
    }
  }
  RegCloseKey(key);
  return result;
}

LONG ReadSettingNumber(LPCWSTR name, LONG fallback) { return ReadNumber(SETTINGS_KEY, name, fallback); }

BOOL WriteSettingNumber(LPCWSTR name, LONG number) {
  DWORD value = static_cast<DWORD>(number);
  return WriteValue(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

WCHAR* ReadSettingText(LPCWSTR name) {
  // Twice the size, zero beyond the data: the text always ends with a 0 unit.
  return reinterpret_cast<WCHAR*>(ReadValue(SETTINGS_KEY, name, 2, nullptr));
}

BOOL WriteSettingText(LPCWSTR name, LPCWSTR text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return WriteValue(name, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>((length + 1) * 2));
}

BYTE* ReadSettingRaw(LPCWSTR name) { return ReadValue(SETTINGS_KEY, name, 1, nullptr); }

void ReadSettingText8(LPCWSTR name, char* buffer, int capacity) {
  DWORD size = 0;
  BYTE* block = ReadValue(SETTINGS_KEY, name, 1, &size);
  if (block == nullptr) return;
  if (size > 0 && block[0] != 0 && capacity > 0) {
    int n = 0;
    while (n < capacity - 1 && static_cast<DWORD>(n) < size && block[n] != 0) ++n;
    std::memcpy(buffer, block, static_cast<size_t>(n));
    buffer[n] = 0;
  }
  LocalFree(block);
}

BOOL WriteSettingText8(LPCWSTR name, const char* text) {
  return WriteValue(name, REG_BINARY, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(std::strlen(text) + 1));
}

BYTE* ReadSettingBinary(LPCWSTR name, BYTE* fallback, DWORD* size) {
  DWORD bytes = 0;
  BYTE* block = ReadValue(SETTINGS_KEY, name, 1, &bytes);
  if (block == nullptr) return fallback;
  if (size != nullptr) *size = bytes;
  return block;
}

BOOL WriteSettingBinary(LPCWSTR name, const BYTE* data, DWORD size) {
  return WriteValue(name, REG_BINARY, data, size);
}
