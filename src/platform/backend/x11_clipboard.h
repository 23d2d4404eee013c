// The X11 CLIPBOARD selection as the clipboard bridge. Internal to the
// platform.
#pragma once

#include <string>

struct ClipboardBridge;

// Opens a connection of its own to $DISPLAY with a hidden window, served by
// a thread, so that other programs can paste while the program is busy.
// False with a reason when there is no X display; the bridge then leaves the
// clipboard in the process.
bool X11ClipboardStart(std::string* error);
// Called before anything else in the process uses Xlib (SDL included): the
// clipboard's thread talks to the X server beside the window's.
void X11PrepareForThreads();
// Offers what the program holds to a clipboard manager, if one runs, then
// closes the connection.
void X11ClipboardStop();
const ClipboardBridge& X11ClipboardBridge();
