#include "settings/program_state.h"

WORD CurrentArticle;
HWND MainWindow;
