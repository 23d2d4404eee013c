// Numbered resources of the program image.
#pragma once

#include "platform/types.h"

#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_ACCELERATOR MAKEINTRESOURCEW(9)
#define RT_RCDATA MAKEINTRESOURCEW(10)

// The program's own module; the resource calls accept it or nothing.
HMODULE GetModuleHandleW(LPCWSTR name);

// Only numbered names and types are stored; a named lookup finds nothing.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// The bytes stay in read-only memory of the image for the whole run; the
// returned handle is their address and is never released.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL loaded);
