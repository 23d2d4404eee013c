// The seam for windows of the same user's other processes: a layer that
// reaches them installs these, and the window calls fall back to it for
// handles and names they do not know. Its handles must never be numbers the
// local window table hands out (those are multiples of 4 from 0x40000 up).
#pragma once

#include "platform/user.h"

struct RemoteWindows {
  // A top-level window of another process, or nothing.
  HWND (*find)(LPCWSTR className, LPCWSTR title);
  // Whether the handle is one of the layer's.
  bool (*owns)(HWND window);
  // Delivers the message and waits for the answer.
  LRESULT (*send)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The other process's window in front when none of ours is, or nothing.
  HWND (*foreground)();
  BOOL (*setForeground)(HWND window);
  // GetParent of one of the layer's windows, as one of its handles.
  HWND (*parent)(HWND window);
  // Runs the messages that other processes sent here; the loops call it on
  // the window thread each time they look for messages.
  void (*deliver)();
};

// Nothing installed (the default): only this process's windows exist.
void SetRemoteWindows(const RemoteWindows* remote);
