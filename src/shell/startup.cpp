// Start-up, the single-instance test, the menu bar and the message loop.
#include "shell/shell_state.h"

HINSTANCE ProgramInstance;
BOOL MenuBarMode;
HWND MenuBarWindow;
int MenuBarHeight;
HWND TaskbarWindow;
