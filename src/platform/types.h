// Basic types of the handheld's programming interface, as the app sees them.
// Text is UTF-16: WCHAR is char16_t and literals are u"...".
#pragma once

#include <cstddef>
#include <cstdint>

typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int BOOL;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Handles are opaque pointers to the platform's own records.
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HRSRC__* HRSRC;
typedef void* HGLOBAL;
typedef void* HLOCAL;

// A resource named by number travels in a name pointer whose value is the
// number; real pointers are never that small.
#define MAKEINTRESOURCEW(i) ((LPWSTR)(uintptr_t)(WORD)(i))
#define IS_INTRESOURCE(p) ((((uintptr_t)(p)) >> 16) == 0)
