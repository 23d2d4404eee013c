// The device screen for the window system and the backends: the framebuffer
// and device contexts over parts of it. Not part of the app's interface.
#pragma once

#include <cstdint>

#include "platform/gdi.h"

// Pixels are 0x00RRGGBB, rows top to bottom, width pixels a row. The
// screen is 240 x 320 and white until ScreenResize says otherwise.
int ScreenWidth();
int ScreenHeight();
uint32_t* ScreenPixels();
// A new size, white again; false for a size outside 1..8192.
bool ScreenResize(int width, int height);
// Grows with every drawing call that may have changed the screen, so a
// backend knows when to present it again.
uint64_t ScreenChanges();

// A context whose origin is the top-left of `area` (screen coordinates),
// drawing only inside area, the optional clip and the screen. Released with
// ReleaseDC or DeleteDC.
HDC CreateScreenDC(const RECT& area, const RECT* clip);
// Moves a screen context's area and clip (a window moved or was covered).
BOOL SetScreenDCArea(HDC dc, const RECT& area, const RECT* clip);

// How GetDC finds a window's client area and clip; the window system sets it.
// Without it, or when it answers false, GetDC(window) gives nothing.
typedef bool (*WindowAreaProc)(HWND window, RECT* area, RECT* clip);
void SetWindowAreaProc(WindowAreaProc proc);
