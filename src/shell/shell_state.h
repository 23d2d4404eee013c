// The program-wide state of the shell, and the shell's operations that its
// parts call on one another. CurrentArticle and MainWindow live below, in
// settings/program_state.h, because the lower layers read them too.
#pragma once

#include "platform/platform.h"
#include "settings/program_state.h"
#include "view/article_view.h"
#include "view/font_choice.h"

// Flags bits beyond FLAG_REVERSE (view/font_choice.h).
#define FLAG_SCROLLBARS 0x000000C0u
#define FLAG_KEY_PAGE_MASK 0x00700000u
#define FLAG_TAP_PAGE_MASK 0x07000000u
#define FLAG_TAP_VERTICAL 0x10000000u
#define FLAG_TAP_PAGING 0x80000000u
#define DEFAULT_FLAGS_SETTING 0xD1140040u

#define REPAINT_MAIN 0x001
#define REPAINT_LOWER 0x002
#define REPAINT_CLEAR 0x100

#define RELOAD_MAIN_ONLY 0xF4FFF500u
#define RELAYOUT_SAME_SIZE 0xBAADF00Du
#define CLOSE_MESSAGE 0x3FF  // the private message just below WM_USER
// SHFullScreen's state for a full-screen reader: no taskbar, input panel
// button or start icon.
#define FULL_SCREEN_STATE (SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON)

#define SEARCH_STRING_SIZE 34

// Settings (settings.cpp).
extern WORD LastPosition;
extern char SearchString[SEARCH_STRING_SIZE];
extern LONG BottomSection;
extern WORD BottomSectionLastPosition;
extern LONG IgnoreActivate, FullScreen, AllowSipInHebrewSearch, MenuBarOnBottom, SurroundingGutter;
extern HBITMAP IndexIcons[3];

// Whether LoadSettings read everything: what has not been read must not be
// written back over what is stored.
extern BOOL SettingsLoaded;
void LoadSettings();
void SaveSettings();
void SetCurrentArticle(WORD n);

// Start-up (startup.cpp).
extern HINSTANCE ProgramInstance;
extern BOOL MenuBarMode;
extern HWND MenuBarWindow;
extern int MenuBarHeight;
extern HWND TaskbarWindow;

HWND InitInstance(int show);
void RegisterMainClass(HINSTANCE instance, LPCWSTR className);
void CreateMenuBar();

// The main window's panes (panes.cpp).
extern ArticleView* MainView;
extern ArticleView* CommentaryView;
extern HWND MainScrollBar, CommentaryScrollBar;
extern ArticleView* ActiveView;
extern HWND ActiveScrollBar;
extern RECT CommentaryFrame;

int CreatePanes(HWND window);
void CreateCommentaryPane(HWND window, HDC surface, const RECT* rect);
void OnSize(HWND window, DWORD size);
void LayoutPanes(int* width, int* height);
int CommentaryHeight(int available);
void PaintPanes(HDC surface, HWND window, UINT bits);
void RepaintPanes(HWND window, UINT bits);
void PaintCommentaryArea(HDC surface);
void UpdateScrollBar(HWND bar);
void UpdateScrollBars();
// The pop-up of a menu-bar button (the "Go" or the ratio menu); with a
// command bar, its one menu, which holds both.
HMENU BarMenu(UINT buttonCommand);
// The radio mark of the ratio menu put on a ratio command.
void MarkRatio(UINT command);
// "Resource not found": the answer of its message box.
int ShowResourceNotFound(HWND window);

// Commands, keys and taps (commands.cpp).
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int OnCommand(HWND window, UINT command);
void OnTap(HWND window, LPARAM lParam);
BOOL HitPane(ArticleView* view, int x, int y);
BOOL TapPage(HWND window, ArticleView* view, int x, int y, BOOL repaint);
int GoToArticle(HWND window, DWORD n);
int LoadCommentary(HWND window);
void StepArticle(HWND window, int step);
void NextArticle(HWND window);
void PreviousArticle(HWND window);
int SetMenuCheck(HMENU menu, int mode, UINT command, UINT state);
void SetReverse(HWND window, int mode);
void UpdateBookmarkCheck(HWND window, int mode);
#define MENU_CHECK_TOGGLE 0
#define MENU_CHECK_SET 1

// About and the update check (about.cpp).
BOOL AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Gives the link button its underlined bold font and the size of its text;
// returns the font, or none when it could not be made.
HFONT PrepareLinkButton(HWND dialog);
void DrawLinkButton(HWND dialog, int id, const DRAWITEMSTRUCT* item);
// Appends text to a URL of 200 units as a query wants it: a space as '+',
// letters, digits, '.' and '/' as they are, anything else as %XX.
void EscapeQueryText(WCHAR* url, int* length, const WCHAR* text);
void OpenUrl(HWND window, LPCWSTR url);
void OpenVendorSite(HWND window);
void CheckForUpdates(HWND window);
