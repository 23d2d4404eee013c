// The handheld shell's calls: full-screen windows and the taskbar, dialog
// set-up, the input panel, and the common controls' initialisation. The
// taskbar is a window of class "HHTaskBar" with an empty title, 26 pixels
// high at the top of the screen; it shows the active window's title and the
// time.
#pragma once

#include "platform/user.h"

// SHFullScreen
#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020
BOOL SHFullScreen(HWND window, DWORD state);

// SHInitDialog: sizes the dialog to the screen below the taskbar (the whole
// screen while the taskbar is hidden) and gives it a Done button (the
// caption's OK button).
typedef struct tagSHINITDLGINFO {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
} SHINITDLGINFO;
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
BOOL SHInitDialog(SHINITDLGINFO* info);

// The input panel.
typedef enum { SIP_UP = 0, SIP_DOWN, SIP_FORCEDOWN, SIP_UNCHANGED, SIP_INPUTDIALOG } SIPSTATE;
BOOL SHSipPreference(HWND window, SIPSTATE state);
#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
BOOL SipShowIM(DWORD flags);

// WM_SETTINGCHANGE: wParam SPI_SETSIPINFO when the input panel came up or
// went down; the shell keeps the window's activation record up to date.
#define SPI_SETSIPINFO 224
typedef struct tagSHACTIVATEINFO {
  DWORD cbSize;
  HWND hwndLastFocus;
  UINT fSipUp : 1;
  UINT fSipOnDeactivation : 1;
  UINT fActive : 1;
  UINT fReserved : 29;
} SHACTIVATEINFO;
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

void InitCommonControls(void);
