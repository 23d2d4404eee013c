// The desktop backend: the device screen in an SDL window on the user's
// display, the mouse as the pen, the keyboard, and the system clipboard.
// Internal to the platform.
#pragma once

struct Backend;

const Backend& DesktopBackend();

// Whether a display is there to open a window on ($DISPLAY or $WAYLAND_DISPLAY).
bool DesktopDisplayNamed();

// How many window pixels show one screen pixel; 0 (the default) takes the
// largest whole factor that fits the display. Read when the backend opens.
void DesktopSetScale(int scale);
constexpr int kMaxDesktopScale = 16;
