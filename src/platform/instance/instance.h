// One running program per user: every process with the platform listens on
// a socket of its own in a private folder, and the window calls reach the
// top-level windows of the user's other processes through it (FindWindowW,
// SendMessageW, GetParent, GetForegroundWindow, SetForegroundWindow).
// Internal to the platform.
#pragma once

#include <string>

// The private folder for this user's sockets: <runtimeDir>/lumora, or
// <tmpRoot>/lumora-<uid> when runtimeDir is null, empty or relative. Made
// 0700 when missing; empty when it cannot be made, or when what is there is
// not a folder of ours that only we can reach.
std::string PrepareInstanceFolder(const char* runtimeDir, const std::string& tmpRoot);
// The same for this process: $XDG_RUNTIME_DIR and /tmp.
std::string InstanceFolder();

// Starts listening and installs the remote windows (on the window thread,
// after the backend is chosen). False, and nothing installed, when the
// folder or the socket cannot be had: the program then runs as if alone.
bool StartInstanceLayer();
bool StartInstanceLayerIn(const std::string& folder);
// Stops listening, removes the socket and uninstalls; requests not yet run
// are answered "refused".
void StopInstanceLayer();
