// What the window system's areas ask of one another: the core (window/),
// the controls (controls/) and the menus and bars (menus/). Internal to the
// platform.
#pragma once

#include "platform/user.h"

// Core. Modal loops (dialog boxes, message boxes, menus being tracked)
// register their window, innermost last, so that a headless run whose input
// has run out can cancel them, innermost first, before it closes the
// program's top-level windows.
void EnterModalLoop(HWND window);
void LeaveModalLoop(HWND window);
// The device screen takes a new size, as when the handheld turns: top-level
// windows that span the width follow it, those that reach down from the
// taskbar (or the top) to the bottom keep doing so, bars docked at the bottom
// move with it, the rest stay on the screen; each gets WM_SIZE as its client
// area changes, and everything is painted again. False for a size that
// ScreenResize refuses.
bool ResizeDeviceScreen(int width, int height);

// Controls. The built-in classes "STATIC", "BUTTON", "EDIT", "LISTBOX" and
// "SCROLLBAR", registered once by the core before the first window exists.
void RegisterControlClasses();
// The vertical bar of a WS_VSCROLL window, which the core places outside the
// client area once the bar has a range: drawn in `bar` (window coordinates
// of `dc`), and a press at `point` (screen coordinates) tracked with capture,
// sending WM_VSCROLL to the window with a null lParam.
void PaintWindowScrollBar(HWND window, HDC dc, const RECT* bar, const SCROLLINFO* info);
void PressWindowScrollBar(HWND window, const RECT* bar, POINT point);

// Menus and bars. Their window classes, registered once by the core.
void RegisterMenuClasses();
// DefWindowProcW passes WM_SYSKEYDOWN and WM_SYSKEYUP here: Alt pressed and
// released alone, or F10, opens the first menu of the command bar or menu
// bar of the window (or of its top-level window). True when the key opened
// a menu.
bool MenuBarKey(HWND window, UINT message, WPARAM key);
// Whether Alt, now or last held, went down with no other key pressed since:
// kept as the input arrives, so keys that accelerators take count too.
bool AltWentDownAlone();
// An Alt that something else answered already (an open menu it closes).
void ForgetAltAlone();
