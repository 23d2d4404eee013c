// Menus, the command bar (top of a window) and the menu bar (bottom of the
// screen) with their toolbar buttons and tooltips.
#pragma once

#include "platform/user.h"

typedef uintptr_t UINT_PTR;
typedef uintptr_t DWORD_PTR;
typedef intptr_t INT_PTR;

// AppendMenuW, CheckMenuItem, EnableMenuItem, CheckMenuRadioItem.
#define MF_STRING 0x0000
#define MF_ENABLED 0x0000
#define MF_UNCHECKED 0x0000
#define MF_BYCOMMAND 0x0000
#define MF_GRAYED 0x0001
#define MF_DISABLED 0x0002
#define MF_CHECKED 0x0008
#define MF_POPUP 0x0010
#define MF_BYPOSITION 0x0400
#define MF_SEPARATOR 0x0800

// MENUITEMINFOW.
#define MIIM_STATE 0x0001
#define MIIM_ID 0x0002
#define MIIM_SUBMENU 0x0004
#define MIIM_TYPE 0x0010
#define MFT_STRING 0x0000
#define MFT_RADIOCHECK 0x0200
#define MFT_SEPARATOR 0x0800
#define MFS_ENABLED 0x0000
#define MFS_UNCHECKED 0x0000
#define MFS_GRAYED 0x0003
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED 0x0008

// cbSize is sizeof(MENUITEMINFOW), or less (44 on the handheld): fields past
// it are neither read nor written, and asking for one of them fails.
typedef struct tagMENUITEMINFOW {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  DWORD dwItemData;
  LPWSTR dwTypeData;  // MIIM_TYPE: the text is copied here, cch units with the zero
  UINT cch;           // in: capacity; out: the text's length
} MENUITEMINFOW;

// TrackPopupMenuEx.
#define TPM_LEFTALIGN 0x0000
#define TPM_CENTERALIGN 0x0004
#define TPM_RIGHTALIGN 0x0008
#define TPM_TOPALIGN 0x0000
#define TPM_VCENTERALIGN 0x0010
#define TPM_BOTTOMALIGN 0x0020
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100

typedef struct tagTPMPARAMS {
  UINT cbSize;
  RECT rcExclude;
} TPMPARAMS;

// Menus. In item texts '&' marks the mnemonic, "&&" is a '&' and the
// character 8 ("\b") right-aligns the text after it. Menu resources are of
// type RT_MENU (platform/menus/menu_resource.h).
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
HMENU CreateMenu(void);
HMENU CreatePopupMenu(void);
// MF_POPUP takes the pop-up's HMENU in idOrPopup; the menu then owns it.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text);
// Destroys the pop-ups the menu holds too.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
// The command of the item, (UINT)-1 for a pop-up or no such item.
UINT GetMenuItemID(HMENU menu, int position);
// By command, the item is looked for in the menu and the pop-ups it holds.
// Returns the previous MF_CHECKED state, or (DWORD)-1 when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// By position: the items from first to last; by command: the items whose
// commands lie between first and last in the menu (or pop-up) holding the
// command `check`. That item gets the radio mark, the others lose theirs.
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
// MF_GRAYED or MF_ENABLED; returns the previous state or -1.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
// Shows the pop-up with (x, y) (screen) at the corner the flags name, kept on
// the screen and off params->rcExclude, and tracks taps and keys until an
// item is chosen or the menu is cancelled (a tap outside it, Escape). The
// owner gets WM_INITMENUPOPUP first; a choice is posted to it as WM_COMMAND
// with the command, or returned with TPM_RETURNCMD (0 for none).
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);

// Toolbar buttons, as the command bar and the menu bar take them.
#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTYLE_BUTTON 0x00
#define TBSTYLE_SEP 0x01
#define TBSTYLE_DROPDOWN 0x08
#define TBSTYLE_AUTOSIZE 0x10

typedef struct _TBBUTTON {
  int iBitmap;  // image index; separators: width in pixels, 0 for the default
  int idCommand;
  BYTE fsState;
  BYTE fsStyle;
  DWORD_PTR dwData;
  INT_PTR iString;  // unused: buttons show their image
} TBBUTTON;

typedef struct tagTBADDBITMAP {
  HINSTANCE hInst;
  UINT_PTR nID;  // an RT_BITMAP strip of images side by side
} TBADDBITMAP;

// Toolbar messages, to either bar.
#define TB_ADDBITMAP 0x0413        // wParam images, lParam TBADDBITMAP*; the first image's index
#define TB_BUTTONCOUNT 0x0418      // buttons on the bar, menu buttons included
#define TB_GETITEMRECT 0x041D      // wParam a button's index, lParam RECT*: its place on the bar
#define TB_ADDBUTTONSW 0x0444      // wParam count, lParam TBBUTTON*
#define TB_SETTOOLTIPS 0x0451      // wParam count, lParam LPCWSTR*: the first tip is the menu's
#define SHCMBM_GETSUBMENU 0x0591   // lParam a button's command: its pop-up

// Images on the bars are 16 x 16; a pixel of RGB(192, 192, 192) lets the
// button show through.
#define CMDBAR_HELP 0x0001
#define CMDBAR_OK 0x0002

// The command bar: a child window along the top of the parent's client area.
HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id);
int CommandBar_Height(HWND bar);
// The menu's pop-ups as text buttons from position `button` on.
BOOL CommandBar_InsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD button);
BOOL CommandBar_AddToolTips(HWND bar, UINT count, LPCWSTR* tips);
// The bitmap resource `bitmapId`: `images` images of width x height (16 x 16).
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int images, int width,
                         int height);
BOOL CommandBar_AddButtons(HWND bar, UINT count, const TBBUTTON* buttons);
// A close button at the right end, which sends WM_CLOSE to the parent. Help
// and OK buttons are not drawn.
BOOL CommandBar_AddAdornments(HWND bar, DWORD flags, DWORD reserved);
BOOL CommandBar_Show(HWND bar, BOOL show);
// The menu inserted with CommandBar_InsertMenubar (its pop-ups are its items).
HMENU CommandBar_GetMenu(HWND bar, WORD button);
void CommandBar_Destroy(HWND bar);

// The menu bar: a 26-pixel bar along the bottom of the screen, owned by the
// parent, built from a menu-bar description (RT_RCDATA nToolBarId of
// hInstRes) and the menu it names.
#define SHCMBF_EMPTYBAR 0x0001  // no description: an empty bar
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004  // the bar never shows an input panel button

typedef struct tagSHMENUBARINFO {
  DWORD cbSize;  // sizeof(SHMENUBARINFO) or 32, the size on the handheld
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;
  HINSTANCE hInstRes;
  int nBmpId;      // a bitmap of cBmpImages images for the buttons, 0 for none
  int cBmpImages;
  HWND hwndMB;     // out: the bar
} SHMENUBARINFO;

BOOL SHCreateMenuBar(SHMENUBARINFO* info);
