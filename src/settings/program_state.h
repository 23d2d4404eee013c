// Program-wide state that the layers below the shell read: the side on
// screen and the main window. The shell sets them; zero at start.
#pragma once

#include "platform/types.h"

#define SETTINGS_KEY u"Software\\Varnatek\\Lumora"
#define SWITCHES_KEY u"software\\Varnatek"

// The ArticleNumber of the main text on screen (odd), 0 before start-up has
// made it valid.
extern WORD CurrentArticle;
// The main window, once WM_CREATE has begun.
extern HWND MainWindow;
