// The built-in controls (static, button, edit, list box, scroll bar) and
// dialog boxes made from templates. Dialog units convert to pixels through
// the dialog font: x × base width / 4, y × base height / 8.
#pragma once

#include "platform/user.h"

// Static controls.
#define SS_LEFT 0x0000
#define SS_CENTER 0x0001
#define SS_RIGHT 0x0002
#define SS_BITMAP 0x000E
#define SS_TYPEMASK 0x001F
#define SS_NOPREFIX 0x0080
#define SS_NOTIFY 0x0100
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0
#define STN_CLICKED 0

// Buttons.
#define BS_PUSHBUTTON 0x0000
#define BS_DEFPUSHBUTTON 0x0001
#define BS_CHECKBOX 0x0002
#define BS_AUTOCHECKBOX 0x0003
#define BS_RADIOBUTTON 0x0004
#define BS_AUTORADIOBUTTON 0x0009
#define BS_OWNERDRAW 0x000B
#define BS_TYPEMASK 0x000F
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008
#define BN_CLICKED 0
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7

// Edit controls. EM_GETSEL answers MAKELONG(start, end) and writes the two
// DWORDs when given; EM_SETSEL (0, -1) selects everything, a start of -1
// removes the selection.
#define ES_LEFT 0x0000
#define ES_CENTER 0x0001
#define ES_RIGHT 0x0002
#define ES_MULTILINE 0x0004
#define ES_AUTOVSCROLL 0x0040
#define ES_AUTOHSCROLL 0x0080
#define ES_NOHIDESEL 0x0100
#define ES_READONLY 0x0800
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_SCROLLCARET 0x00B7
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_GETLINECOUNT 0x00BA
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_CANUNDO 0x00C6
#define EM_UNDO 0x00C7
#define EM_EMPTYUNDOBUFFER 0x00CD
#define EM_GETFIRSTVISIBLELINE 0x00CE
#define EM_SETREADONLY 0x00CF
#define EM_GETLIMITTEXT 0x00D5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_MAXTEXT 0x0501
// Clipboard commands of the edit control (also Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+Z).
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
#define WM_UNDO 0x0304

// List boxes. Items are strings; LBS_HASSTRINGS is implied.
#define LBS_NOTIFY 0x0001
#define LBS_SORT 0x0002
#define LBS_HASSTRINGS 0x0040
#define LBS_NOINTEGRALHEIGHT 0x0100
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_SELECTSTRING 0x018C
#define LB_GETTOPINDEX 0x018E
#define LB_FINDSTRING 0x018F
#define LB_SETTOPINDEX 0x0197
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_GETITEMHEIGHT 0x01A1
#define LB_FINDSTRINGEXACT 0x01A2
#define LB_OKAY 0
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)
#define LBN_ERRSPACE (-2)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define LBN_SELCANCEL 3
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5

// Scroll bar controls; SetScrollInfo and GetScrollInfo with SB_CTL reach
// them too. They send WM_VSCROLL to their parent with their own handle.
#define SBS_HORZ 0x0000
#define SBS_VERT 0x0001
#define SBS_LEFTALIGN 0x0002
#define SBS_RIGHTALIGN 0x0004
#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA

// Owner-drawn buttons: WM_DRAWITEM to the parent, wParam the control id.
#define ODT_BUTTON 4
#define ODA_DRAWENTIRE 0x0001
#define ODA_SELECT 0x0002
#define ODA_FOCUS 0x0004
#define ODS_SELECTED 0x0001
#define ODS_GRAYED 0x0002
#define ODS_DISABLED 0x0004
#define ODS_CHECKED 0x0008
#define ODS_FOCUS 0x0010

typedef struct tagDRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  uintptr_t itemData;
} DRAWITEMSTRUCT;

// Dialogs.
#define DS_ABSALIGN 0x0001
#define DS_SETFONT 0x0040
#define DS_MODALFRAME 0x0080
#define DS_SETFOREGROUND 0x0200
#define DS_CENTER 0x0800

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

// The dialog procedure answers TRUE when it handled the message; the value
// the message returns is then DWL_MSGRESULT (SetWindowLongW), except for
// WM_INITDIALOG and WM_CTLCOLORSTATIC, which return the answer itself. On
// FALSE the dialog's default handling runs. WM_INITDIALOG is the first
// message the procedure sees; TRUE puts the focus on the first WS_TABSTOP
// control, FALSE leaves it where the procedure put it.
typedef BOOL (*DLGPROC)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog template: the bytes of an RT_DIALOG resource as LockResource gives
// them (the format is in platform/controls/dialog_template.h). The template
// records its own length.
typedef struct tagDLGTEMPLATE DLGTEMPLATE;

// Modal dialogs: the owner (its top-level window) is disabled while the
// dialog runs its own loop; the answer is EndDialog's result, or -1 when the
// dialog could not be made.
int DialogBoxIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner,
                            DLGPROC procedure, LPARAM param);
int DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC procedure,
                    LPARAM param);
#define DialogBoxIndirectW(i, t, o, p) DialogBoxIndirectParamW(i, t, o, p, 0)
#define DialogBoxW(i, t, o, p) DialogBoxParamW(i, t, o, p, 0)
// Modeless dialogs, shown when the template asks for WS_VISIBLE.
HWND CreateDialogIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner,
                                DLGPROC procedure, LPARAM param);
BOOL EndDialog(HWND dialog, int result);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks `check` and unchecks the other buttons from first to last.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

// The base units of the default dialog font ("System", 8 points): width in
// the low word, height in the high word.
LONG GetDialogBaseUnits(void);
// Dialog units to pixels with the dialog's own font.
BOOL MapDialogRect(HWND dialog, RECT* rect);
