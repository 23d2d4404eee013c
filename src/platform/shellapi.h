// Opening a document or a URL through the shell.
#pragma once

#include "platform/types.h"

#define SEE_MASK_FLAG_NO_UI 0x00000400
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_NOASSOC 31

// The handheld's record is 60 bytes; the program sets cbSize to that (or to
// the size of this record).
typedef struct _SHELLEXECUTEINFO {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCWSTR lpVerb;
  LPCWSTR lpFile;
  LPCWSTR lpParameters;
  LPCWSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;
  void* lpIDList;
  LPCWSTR lpClass;
  void* hkeyClass;
  DWORD dwHotKey;
  void* hIcon;
  void* hProcess;
} SHELLEXECUTEINFO;

#define SHELLEXECUTEINFO_HANDHELD_SIZE 60

// Opens lpFile with the verb "Open" (or none). Only http and https URLs are
// opened; anything else fails with hInstApp SE_ERR_NOASSOC.
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);
