// Message boxes.
#pragma once

#include "platform/types.h"

#define MB_OK 0x00000000
#define MB_OKCANCEL 0x00000001
#define MB_ABORTRETRYIGNORE 0x00000002
#define MB_YESNOCANCEL 0x00000003
#define MB_YESNO 0x00000004
#define MB_RETRYCANCEL 0x00000005
#define MB_ICONHAND 0x00000010
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020
#define MB_ICONEXCLAMATION 0x00000030
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100
#define MB_APPLMODAL 0x00000000
#define MB_SETFOREGROUND 0x00010000
#define MB_TOPMOST 0x00040000

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// A modal box centred on the screen, owned by the owner's top-level window,
// which is disabled meanwhile. A null caption shows the platform's default
// caption, "Error". Return chooses the default button (the first, or the
// second with MB_DEFBUTTON2), Escape Cancel or a lone OK.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags);
