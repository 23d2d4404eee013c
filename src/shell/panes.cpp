// The main window's two panes: layout, painting and their scroll bars.
#include "shell/shell_state.h"

ArticleView* MainView;
ArticleView* CommentaryView;
HWND MainScrollBar, CommentaryScrollBar;
ArticleView* ActiveView;
HWND ActiveScrollBar;
RECT CommentaryFrame;
