// A registry kept in memory for the length of one test, with helpers to put
// raw values into it and read them back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/options.h"
#include "platform/registry.h"

class MemoryRegistry : public ::testing::Test {
 protected:
  void SetUp() override { PlatformUseRegistryFile(""); }
  void TearDown() override { PlatformUseRegistryFile(""); }

  static void Put(const char16_t* key, const char16_t* name, DWORD type, const std::vector<uint8_t>& data) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(k, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    RegCloseKey(k);
  }

  // The value's type and bytes; type REG_NONE and no bytes when it is missing.
  static std::pair<DWORD, std::vector<uint8_t>> Get(const char16_t* key, const char16_t* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return {REG_NONE, {}};
    DWORD type = REG_NONE, size = 0;
    std::vector<uint8_t> data;
    if (RegQueryValueExW(k, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      data.resize(size);
      RegQueryValueExW(k, name, nullptr, nullptr, data.data(), &size);
    }
    RegCloseKey(k);
    return {type, data};
  }

  static std::vector<uint8_t> Text(const std::u16string& s, bool nul = true) {
    std::vector<uint8_t> b;
    for (char16_t c : s) {
      b.push_back(static_cast<uint8_t>(c));
      b.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (nul) b.insert(b.end(), {0, 0});
    return b;
  }
};
