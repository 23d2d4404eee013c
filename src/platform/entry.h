// The process entry: the platform's own options, then the program's WinMain.
// Used by main(); not part of the app's interface.
#pragma once

#include "platform/types.h"

typedef int (*WinMainProc)(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

// The program's entry, as the handheld calls it.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

// Takes the platform's options (--help lists them), up to "--" or the first
// argument that is not one, starts the backend and calls winMain with the
// rest of the command line. Returns the exit code: winMain's, or 2 for a bad
// option, or 1 when a scenario failed.
int PlatformMain(int argc, char** argv, WinMainProc winMain);

// The version GetVersionExW reports (5.1 unless set).
void PlatformSetOsVersion(int major, int minor);
