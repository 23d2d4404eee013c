// The main window's behaviour: its messages, the commands of the menus and
// toolbar, the keys, the scroll bars, paging by tapping a pane, and the switch
// from one side to another.
#include "bookmarks/bookmark_list.h"
#include "content/stored.h"
#include "shell/resource_ids.h"
#include "shell/shell_state.h"

namespace {

// The window's activation record for the shell, zero apart from its size.
SHACTIVATEINFO ActivateInfo = [] {
  SHACTIVATEINFO info{};
  info.cbSize = sizeof info;
  return info;
}();

ArticleView* TheView() { return ActiveView != nullptr ? ActiveView : MainView; }

// Paging by keys and by taps: half a page or a page less one line, as the
// field of Flags chooses.
int PageStep(const ArticleView* view, DWORD field, DWORD half1, DWORD half2) {
  if (field == half1 || field == half2) return view->pageLines / 2;
  return view->pageLines - 1;
}

void ScrollByKey(HWND window, int delta) {
  ArticleView* view = TheView();
  if (ScrollArticle(view, delta, false) == SCROLL_MOVED)
    RepaintPanes(window, view == MainView ? REPAINT_MAIN | REPAINT_CLEAR : REPAINT_CLEAR | REPAINT_LOWER);
  UpdateScrollBar(ActiveScrollBar);
}

LRESULT OnKey(HWND window, WPARAM key) {
  ArticleView* view = TheView();
  if (view == nullptr) return 1;
  int page = PageStep(view, Flags & FLAG_KEY_PAGE_MASK, 0x200000, 0x400000);
  switch (key) {
    case VK_RETURN:
      // Search Again arrives with the search; an empty pattern does nothing.
      return 0;
    case VK_PRIOR:
      ScrollByKey(window, -page);
      return 0;
    case VK_NEXT:
      ScrollByKey(window, page);
      return 0;
    case VK_END:
      ScrollByKey(window, view->maxTopLine != 0 ? view->maxTopLine : page);
      return 0;
    case VK_HOME:
      ScrollByKey(window, view->topLine != 0 ? -view->topLine : -page);
      return 0;
    case VK_LEFT:
      PreviousArticle(window);
      return 0;
    case VK_UP:
      ScrollByKey(window, -1);
      return 0;
    case VK_RIGHT:
      NextArticle(window);
      return 0;
    case VK_DOWN:
      ScrollByKey(window, 1);
      return 0;
    default:
      return 1;
  }
}

void OnScrollBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  UINT bits;
  if (reinterpret_cast<HWND>(lParam) == CommentaryScrollBar) {
    ActiveScrollBar = CommentaryScrollBar;
    ActiveView = CommentaryView;
    bits = REPAINT_MAIN | REPAINT_LOWER;
  } else {
    ActiveScrollBar = MainScrollBar;
    ActiveView = MainView;
    bits = REPAINT_MAIN | REPAINT_CLEAR;
  }
  ArticleView* view = TheView();
  int delta = 0;
  if (view != nullptr) {
    int position = static_cast<short>(HIWORD(wParam));
    switch (LOWORD(wParam)) {
      case SB_LINEUP:
        delta = -1;
        break;
      case SB_LINEDOWN:
      case SB_BOTTOM:
        delta = 1;
        break;
      case SB_PAGEUP:
        delta = 1 - view->pageLines;
        break;
      case SB_PAGEDOWN:
        delta = view->pageLines - 1;
        break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK:
        delta = position - view->topLine;
        break;
      case SB_TOP:
        delta = -view->topLine;
        break;
      default:
        break;
    }
  }
  if (delta != 0 && ScrollArticle(view, delta, false) == SCROLL_MOVED) RepaintPanes(window, bits);
  DefWindowProcW(window, message, wParam, lParam);
  if (delta != 0) UpdateScrollBar(ActiveScrollBar);
}

void ChangeRatio(HWND window, LONG code) {
  if (code == BottomSection) return;
  BottomSection = code;
  OnSize(window, RELAYOUT_SAME_SIZE);
  RepaintPanes(window, 0x3FF);
  MarkRatio(400 + static_cast<UINT>(code));
}

}  // namespace

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      MainWindow = window;
      CreateMenuBar();
      CreatePanes(window);
      SetReverse(window, MENU_CHECK_SET);
      UpdateBookmarkCheck(window, MENU_CHECK_SET);
      return 0;
    case WM_DESTROY:
      if (MainView != nullptr) ReleaseDC(window, MainView->surface);
      DestroyWindow(MenuBarWindow);
      SaveSettings();
      return 0;
    case WM_SIZE:
      OnSize(window, static_cast<DWORD>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (IgnoreActivate) return DefWindowProcW(window, message, wParam, lParam);
      if (LOWORD(wParam) != WA_INACTIVE)
        SHFullScreen(window, FullScreen ? FULL_SCREEN_STATE : SHFS_HIDESIPBUTTON);
      return 0;
    case WM_PAINT:
      PaintPanes(reinterpret_cast<HDC>(wParam), window, 0x1FF);
      return 0;
    case WM_SETTINGCHANGE:
      SHHandleWMSettingChange(window, wParam, lParam, &ActivateInfo);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (position != nullptr && (position->flags & 0xFFFF0000u) != 0 && (position->flags & SWP_NOACTIVATE) != 0)
        DestroyWindow(window);
      return 0;
    }
    case WM_HELP:
      DialogBoxParamW(ProgramInstance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutDialogProc, 0);
      return 0;
    case WM_KEYDOWN:
      return OnKey(window, wParam);
    case WM_COMMAND:
      if (OnCommand(window, LOWORD(wParam)) == 1) return DefWindowProcW(window, message, wParam, lParam);
      return 0;
    case WM_VSCROLL:
      OnScrollBar(window, message, wParam, lParam);
      return 1;
    case WM_LBUTTONDOWN:
      OnTap(window, lParam);
      return 0;
    case CLOSE_MESSAGE:
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int OnCommand(HWND window, UINT command) {
  switch (command) {
    case IDM_INDEX:
    case IDM_CHOOSE_SECTION:
    case IDM_SEARCH:
    case IDM_SEARCH_AGAIN:
    case IDM_FONT:
    case IDM_COPY:
    case IDM_APPEND:
      // The index, the search, the font dialog and copying arrive with their
      // own parts of the program.
      return 0;
    case IDM_NEXT_ARTICLE:
      NextArticle(window);
      return 0;
    case IDM_PREVIOUS_ARTICLE:
      PreviousArticle(window);
      return 0;
    case IDM_REVERSE:
      SetReverse(window, MENU_CHECK_TOGGLE);
      RepaintPanes(window, 0x1FF);
      return 0;
    case IDM_BOOKMARK:
      ToggleBookmark(IsBookmarked());
      UpdateBookmarkCheck(window, MENU_CHECK_SET);
      return 0;
    case IDM_CHECK_UPDATES:
      CheckForUpdates(MainWindow);
      return 0;
    case IDM_RATIO_NONE:
    case IDM_RATIO_1_2:
    case IDM_RATIO_1_3:
    case IDM_RATIO_1_4:
    case IDM_RATIO_2_3:
    case IDM_RATIO_3_4:
      ChangeRatio(window, static_cast<LONG>(command) - 400);
      return 0;
    case IDM_ABOUT:
      DialogBoxParamW(ProgramInstance, MAKEINTRESOURCEW(IDD_ABOUT), window, AboutDialogProc, 0);
      return 0;
    case IDM_EXIT:
      DestroyWindow(window);
      return 0;
    default:
      return 1;
  }
}

void OnTap(HWND window, LPARAM lParam) {
  if (MainView == nullptr) return;
  int x = LOWORD(lParam), y = HIWORD(lParam);
  if (!TapPage(window, MainView, x, y, TRUE) && TapPage(window, CommentaryView, x, y, FALSE))
    RepaintPanes(window, REPAINT_LOWER);
}

BOOL HitPane(ArticleView* view, int x, int y) {
  if (view == nullptr) return FALSE;
  int g = SurroundingGutter;
  return view->left - g <= x && x <= view->left + view->width + g && view->top - g <= y &&
         y <= view->top + view->height;
}

BOOL TapPage(HWND, ArticleView* view, int x, int y, BOOL repaint) {
  if (!HitPane(view, x, y)) return FALSE;
  ActiveView = view;
  ActiveScrollBar = view == CommentaryView ? CommentaryScrollBar : MainScrollBar;
  if ((Flags & FLAG_TAP_PAGING) == 0) return FALSE;
  int coordinate, middle;
  if (Flags & FLAG_TAP_VERTICAL) {
    coordinate = y;
    middle = view->top + view->height / 2;
  } else {
    coordinate = x;
    middle = view->left + view->width / 2;
  }
  int page = PageStep(view, Flags & FLAG_TAP_PAGE_MASK, 0x2000000, 0x4000000);
  int magnitude = page < 0 ? -page : page;
  ScrollArticle(view, coordinate < middle ? -magnitude : magnitude, repaint != FALSE);
  UpdateScrollBar(ActiveScrollBar);
  return TRUE;
}

void StepArticle(HWND window, int step) {
  int n = CurrentArticle + step;
  if (n > 220)
    n = 1;
  else if (n < 1)
    n = 219;
  GoToArticle(window, static_cast<DWORD>(n));
}

void NextArticle(HWND window) { StepArticle(window, 2); }
void PreviousArticle(HWND window) { StepArticle(window, -2); }

int GoToArticle(HWND window, DWORD n) {
  WORD remembered = CurrentArticle;
  if (n != RELOAD_MAIN_ONLY) SetCurrentArticle(static_cast<WORD>(n));
  BYTE* text = FetchStored(CurrentArticle, nullptr);
  if (text == nullptr) {
    CurrentArticle = remembered;
    return 1;
  }
  if (MainView != nullptr) {
    LayoutArticle(MainView, text, true);
    MainView->topLine = 0;
  } else {
    LocalFree(text);
  }
  if (n != RELOAD_MAIN_ONLY) LoadCommentary(window);
  RepaintPanes(window, 0x1FF);
  UpdateBookmarkCheck(window, MENU_CHECK_SET);
  return 0;
}

int LoadCommentary(HWND window) {
  BYTE* text = FetchStored(CurrentArticle + 1, nullptr);
  if (text == nullptr) return ShowResourceNotFound(window);
  if (CommentaryView == nullptr) {
    LocalFree(text);
    return 0;
  }
  LayoutArticle(CommentaryView, text, true);
  CommentaryView->topLine = 0;
  return 0;
}

int SetMenuCheck(HMENU menu, int mode, UINT command, UINT state) {
  BOOL mark;
  if (mode != MENU_CHECK_TOGGLE) {
    mark = state != 0;
  } else {
    MENUITEMINFOW info{};
    info.cbSize = 44;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu, command, FALSE, &info);
    mark = (info.fState & MFS_CHECKED) == 0;
  }
  CheckMenuItem(menu, command, MF_BYCOMMAND | (mark ? MF_CHECKED : MF_UNCHECKED));
  return mark ? 1 : 0;
}

void SetReverse(HWND, int mode) {
  if (SetMenuCheck(BarMenu(IDM_GO_MENU), mode, IDM_REVERSE, Flags & FLAG_REVERSE))
    Flags |= FLAG_REVERSE;
  else
    Flags &= ~static_cast<DWORD>(FLAG_REVERSE);
}

void UpdateBookmarkCheck(HWND, int mode) { SetMenuCheck(BarMenu(IDM_GO_MENU), mode, IDM_BOOKMARK, IsBookmarked()); }
