// Hooks for tests of the window system: resetting it, pumping messages,
// watching messages, and the state of the shell. The app never includes this.
#pragma once

#include <functional>
#include <vector>

#include "platform/user.h"

// Destroys every window the tests made, forgets their classes, the queue,
// the modal loops, the key state and the input, and puts the screen (240 x
// 320, white), the taskbar and the shell back as they are at start.
void TestResetWindowSystem();

// Dispatches posted messages and paints until nothing is left to do, without
// asking for input. Returns the number of messages dispatched.
int TestPumpMessages();

// Called with every message a window procedure is about to receive, sent or
// dispatched; an empty function stops it.
using MessageSpy = std::function<void(HWND window, UINT message, WPARAM wParam, LPARAM lParam)>;
void TestSetMessageSpy(MessageSpy spy);

// The shell's state as SHFullScreen, SHInitDialog, SHSipPreference, SipShowIM
// and friends left it. The taskbar's own visibility is IsWindowVisible's.
struct ShellState {
  bool sipUp = false;
  int sipPreference = -1;  // the last SHSipPreference state, -1 before any
  bool sipButtonShown = true;
  bool startIconShown = true;
  int fullScreenCalls = 0;
  DWORD lastFullScreenFlags = 0;
  HWND lastFullScreenWindow = nullptr;
  int initDialogCalls = 0;
  DWORD lastInitDialogFlags = 0;
  int settingChangeCalls = 0;
  bool commonControls = false;
};
const ShellState& TestShellState();

// MessageBeep's sounds so far, oldest first.
const std::vector<UINT>& TestMessageBeeps();

// The registered modal loops, innermost last.
const std::vector<HWND>& TestModalLoops();
