// System information and the small resources: metrics, the version, the
// module's path, strings, icons and beeps.
#include <unistd.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/entry.h"
#include "platform/resource.h"
#include "platform/screen.h"
#include "platform/window/core.h"
#include "platform/window/testing.h"
#include "platform/window/ui_resources.h"
#include "platform/window/utf8.h"

namespace {

struct System {
  int major = 5;
  int minor = 1;
  std::vector<UINT> beeps;
  std::unordered_map<uintptr_t, IconImage> icons;
  uintptr_t nextIcon = 0x60000;
  // Strings handed out by address (capacity 0) stay where they are.
  std::map<std::pair<const uint8_t*, DWORD>, std::u16string> strings;
};

System& TheSystem() {
  static System* s = new System;
  return *s;
}

const IconImage* FindIcon(HICON icon) {
  auto& icons = TheSystem().icons;
  auto it = icons.find(reinterpret_cast<uintptr_t>(icon));
  return it == icons.end() ? nullptr : &it->second;
}

}  // namespace

void PlatformSetOsVersion(int major, int minor) {
  TheSystem().major = major;
  TheSystem().minor = minor;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return ScreenWidth();
    case SM_CYSCREEN: return ScreenHeight();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return win::kScrollWidth;
    case SM_CYCAPTION: return win::kCaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 1;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CYMENU: return win::kTaskbarHeight;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
  }
}

BOOL GetVersionExW(OSVERSIONINFOW* info) {
  if (info == nullptr || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) return FALSE;
  info->dwMajorVersion = static_cast<DWORD>(TheSystem().major);
  info->dwMinorVersion = static_cast<DWORD>(TheSystem().minor);
  info->dwBuildNumber = 1;
  info->dwPlatformId = VER_PLATFORM_WIN32_CE;
  std::fill(std::begin(info->szCSDVersion), std::end(info->szCSDVersion), 0);
  return TRUE;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD capacity) {
  if (path == nullptr || capacity == 0 || (module != nullptr && module != GetModuleHandleW(nullptr))) return 0;
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::u16string name;
  if (n > 0 && !Utf8ToUtf16(std::string(buffer, static_cast<size_t>(n)), &name))
    name.assign(buffer, buffer + n);  // not UTF-8: byte by byte
  size_t copied = std::min<size_t>(name.size(), capacity - 1);
  std::copy_n(name.data(), copied, path);
  path[copied] = 0;
  return copied < name.size() ? capacity : static_cast<DWORD>(copied);
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR text, int capacity) {
  if (text == nullptr || capacity < 0) return 0;
  HRSRC found = id <= 0xFFFF ? FindResourceW(instance, MAKEINTRESOURCEW(id), RT_STRING) : nullptr;
  const auto* bytes = found != nullptr ? static_cast<const uint8_t*>(LoadResource(instance, found)) : nullptr;
  DWORD size = SizeofResource(instance, found);
  std::u16string decoded;
  std::string error;
  if (found == nullptr || !DecodeStringResource(bytes, size, &decoded, &error)) {
    if (capacity > 0) text[0] = 0;
    return 0;
  }
  const std::u16string& s = TheSystem().strings.emplace(std::make_pair(bytes, size), decoded).first->second;
  if (capacity == 0) {
    // The platform's way: the string's own address, not a copy.
    *reinterpret_cast<LPCWSTR*>(text) = s.c_str();
    return static_cast<int>(s.size());
  }
  size_t n = std::min(s.size(), static_cast<size_t>(capacity - 1));
  std::copy_n(s.data(), n, text);
  text[n] = 0;
  return static_cast<int>(n);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  HRSRC found = FindResourceW(instance, name, RT_ICON);
  if (found == nullptr) return nullptr;
  IconImage image;
  std::string error;
  if (!DecodeIconResource(static_cast<const uint8_t*>(LoadResource(instance, found)),
                          SizeofResource(instance, found), &image, &error))
    return nullptr;
  System& s = TheSystem();
  uintptr_t n = s.nextIcon;
  s.nextIcon += 4;
  s.icons.emplace(n, std::move(image));
  return reinterpret_cast<HICON>(n);
}

BOOL DestroyIcon(HICON icon) {
  return TheSystem().icons.erase(reinterpret_cast<uintptr_t>(icon)) != 0 ? TRUE : FALSE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  const IconImage* image = FindIcon(icon);
  if (image == nullptr || dc == nullptr) return FALSE;
  for (int j = 0; j < image->height; ++j) {
    for (int i = 0; i < image->width; ++i) {
      uint32_t p = image->pixels[static_cast<size_t>(j) * image->width + i];
      unsigned alpha = p >> 24;
      if (alpha == 0) continue;
      COLORREF colour = RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
      if (alpha < 255) {
        COLORREF under = GetPixel(dc, x + i, y + j);
        if (under == CLR_INVALID) continue;
        auto mix = [alpha](unsigned a, unsigned b) { return (a * alpha + b * (255 - alpha) + 127) / 255; };
        colour = RGB(mix(GetRValue(colour), GetRValue(under)), mix(GetGValue(colour), GetGValue(under)),
                     mix(GetBValue(colour), GetBValue(under)));
      }
      SetPixel(dc, x + i, y + j, colour);
    }
  }
  return TRUE;
}

void MessageBeep(UINT type) { TheSystem().beeps.push_back(type); }

const std::vector<UINT>& TestMessageBeeps() { return TheSystem().beeps; }

namespace win {

void ResetSystem() {
  TheSystem().beeps.clear();
  TheSystem().major = 5;
  TheSystem().minor = 1;
}

}  // namespace win
