// The registry primitives of the settings store. The settings live under
// HKEY_CURRENT_USER "Software\Varnatek\Lumora"; the device switches under
// "software\Varnatek". Reads allocate through CheckedAlloc; every block they
// return is the caller's, freed with LocalFree.
#pragma once

#include "platform/types.h"

// A number from a value of `keyPath`: a REG_DWORD as stored, any other type
// read as UTF-16 digits (value × 10 + (unit − '0') per unit, wrapping, up to
// the first 0 unit or the end of the data). Missing: the fallback.
LONG ReadNumber(LPCWSTR keyPath, LPCWSTR name, LONG fallback);
LONG ReadSettingNumber(LPCWSTR name, LONG fallback);
BOOL WriteSettingNumber(LPCWSTR name, LONG number);

// The value as UTF-16 text ending with a 0 unit, or nothing.
WCHAR* ReadSettingText(LPCWSTR name);
// REG_SZ with the terminating 0.
BOOL WriteSettingText(LPCWSTR name, LPCWSTR text);

// The value's bytes, or nothing.
BYTE* ReadSettingRaw(LPCWSTR name);

// An 8-bit text into buffer: at most capacity − 1 bytes, then a 0. A missing
// value, or one whose first byte is 0, leaves the buffer as it was.
void ReadSettingText8(LPCWSTR name, char* buffer, int capacity);
// REG_BINARY holding the text and its 0.
BOOL WriteSettingText8(LPCWSTR name, const char* text);

// The value's bytes with their count in *size (when given), or the fallback
// with *size untouched.
BYTE* ReadSettingBinary(LPCWSTR name, BYTE* fallback, DWORD* size);
BOOL WriteSettingBinary(LPCWSTR name, const BYTE* data, DWORD size);
