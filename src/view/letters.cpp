#include "view/letters.h"

#include "platform/memory.h"
#include "view/font_choice.h"

UnitBuffer MapScratch = {nullptr, 0};

namespace {

WCHAR* TakeBuffer(UnitBuffer* scratch, int count) {
  if (scratch == nullptr) return static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, (count + 1u) * sizeof(WCHAR)));
  if (scratch->units != nullptr && scratch->capacity >= count) return scratch->units;
  LocalFree(scratch->units);
  scratch->units = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, (count + 1u) * sizeof(WCHAR)));
  scratch->capacity = scratch->units ? count : 0;
  return scratch->units;
}

WCHAR Mirror(WCHAR u) {
  switch (u) {
    case u'(': return u')';
    case u')': return u'(';
    case u'[': return u']';
    case u']': return u'[';
    case u'{': return u'}';
    case u'}': return u'{';
    default: return u;
  }
}

}  // namespace

WCHAR* MapRun(const BYTE* text, UnitBuffer* scratch, int count, bool display, int* converted) {
  if (count < 0) count = 0;
  WCHAR* out = TakeBuffer(scratch, count);
  if (converted) *converted = 0;
  if (out == nullptr) return nullptr;
  WCHAR base = static_cast<WCHAR>(FontSpec.letterBase);
  int n = 0;
  for (; n < count && text[n] != 0; ++n) {
    BYTE b = text[n];
    if (b >= 0x61 && b <= 0x7B)
      out[n] = static_cast<WCHAR>(base + (b - 0x61));
    else
      out[n] = b == 0x7E ? u'{' : b;
  }
  out[n] = 0;
  if (display && n > 0 && FontSpec.letterBase != 97 && (Flags & FLAG_REVERSE)) MirrorReverse(out, n);
  if (converted) *converted = n;
  return out;
}

WCHAR* MapToUnicode(const BYTE* text, UnitBuffer* scratch, int count) {
  return MapRun(text, scratch, count, true, nullptr);
}

int MirrorReverse(WCHAR* units, int n) {
  for (int i = 0, j = n - 1; i <= j; ++i, --j) {
    WCHAR a = Mirror(units[i]);
    units[i] = Mirror(units[j]);
    units[j] = a;
  }
  return 0;
}
