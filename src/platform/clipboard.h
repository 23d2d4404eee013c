// The clipboard: data in LocalAlloc blocks, one per format. A block given
// to SetClipboardData belongs to the clipboard from then on.
#pragma once

#include "platform/types.h"

typedef void* HANDLE;

#define CF_TEXT 1
#define CF_UNICODETEXT 13

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard(void);
BOOL EmptyClipboard(void);
HANDLE GetClipboardData(UINT format);
HANDLE SetClipboardData(UINT format, HANDLE data);
// The same name gives the same number, from 0xC000 up.
UINT RegisterClipboardFormatW(LPCWSTR name);
BOOL IsClipboardFormatAvailable(UINT format);
