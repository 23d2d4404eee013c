// The main window's two panes: the main text above, its commentary below on
// a pale band under a red line, each with a scroll bar at the right edge.
#include "content/stored.h"
#include "shell/resource_ids.h"
#include "shell/shell_state.h"

ArticleView* MainView;
ArticleView* CommentaryView;
HWND MainScrollBar, CommentaryScrollBar;
ArticleView* ActiveView;
HWND ActiveScrollBar;
RECT CommentaryFrame;

namespace {

const COLORREF kBandColour = 0x00FFFFEE;
const COLORREF kLineColour = 0x000000FF;
const int kInitialLines = 100;

SIZE LastClientSize;

int ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

HWND CreateScrollBar(HWND window, LPCWSTR text) {
  return CreateWindowExW(0, u"SCROLLBAR", text, WS_CHILD | WS_VISIBLE | SBS_VERT | SBS_LEFTALIGN,
                         CommentaryFrame.right, CommentaryFrame.top, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                         ProgramInstance, nullptr);
}

}  // namespace

HMENU BarMenu(UINT buttonCommand) {
  if (MenuBarMode) return reinterpret_cast<HMENU>(SendMessageW(MenuBarWindow, SHCMBM_GETSUBMENU, 0, buttonCommand));
  return CommandBar_GetMenu(MenuBarWindow, 0);
}

void MarkRatio(UINT command) {
  CheckMenuRadioItem(BarMenu(IDM_KORVEL_MENU), IDM_RATIO_NONE, IDM_RATIO_3_4, command, MF_BYCOMMAND);
}

int ShowResourceNotFound(HWND window) {
  return MessageBoxW(window, u"Resource not found", u"Error", MB_OK | MB_ICONEXCLAMATION);
}

int CreatePanes(HWND window) {
  HDC surface = GetDC(window);
  RECT r{};
  GetClientRect(window, &r);
  if (MenuBarMode)
    r.bottom -= MenuBarHeight;
  else
    r.top += MenuBarHeight;
  LONG g = SurroundingGutter;
  if (r.bottom - r.top > 2 * g) {
    r.top += g;
    r.bottom -= 2 * g;
  }
  if (r.right - r.left > 2 * g) {
    r.left += g;
    r.right -= 2 * g;
  }
  CreateCommentaryPane(window, surface, &r);

  MainView = CreateArticleView(surface, &r, &FontSpec, kInitialLines);
  if (MainView == nullptr) return 1;
  BYTE* text = FetchStored(CurrentArticle, nullptr);
  if (text == nullptr) {
    ShowResourceNotFound(window);
    return 0;
  }
  LayoutArticle(MainView, text, true);
  MainView->topLine = LastPosition;
  LoadCommentary(window);
  if (CommentaryView != nullptr) CommentaryView->topLine = BottomSectionLastPosition;
  UpdateScrollBars();
  return 0;
}

void CreateCommentaryPane(HWND window, HDC surface, const RECT* rect) {
  CommentaryFrame.left = rect->left;
  CommentaryFrame.right = rect->right;
  MarkRatio(400 + static_cast<UINT>(BottomSection));
  CommentaryView = CreateArticleView(surface, &CommentaryFrame, &FontSpec, kInitialLines);
  if (CommentaryView == nullptr) return;
  CommentaryScrollBar = CreateScrollBar(window, u"Top");
  MainScrollBar = CreateScrollBar(window, u"Bottom");
  ActiveScrollBar = MainScrollBar;
}

void OnSize(HWND, DWORD size) {
  if (size == RELAYOUT_SAME_SIZE) {
    size = static_cast<DWORD>(LastClientSize.cx) | static_cast<DWORD>(LastClientSize.cy) << 16;
  } else {
    LastClientSize.cx = LOWORD(size);
    LastClientSize.cy = HIWORD(size);
  }
  if (MainView == nullptr) return;
  int g = SurroundingGutter;
  int width = LOWORD(size), height = HIWORD(size);
  if (width > 2 * g) width -= 2 * g;
  if (height > 2 * g) height -= 2 * g;
  height -= MenuBarHeight;
  LayoutPanes(&width, &height);
  ResizeArticle(MainView, width, height);
  UpdateScrollBars();
}

int CommentaryHeight(int available) {
  // Codes whose last digit is 0 are refused when the setting is read.
  int denominator = BottomSection % 10;
  if (denominator == 0) return available / 2;
  return available * (BottomSection / 10) / denominator;
}

void LayoutPanes(int* width, int* height) {
  int g = SurroundingGutter, s = ScrollBarWidth();
  int available = *height;
  int top = MainView->top;
  int lower = CommentaryHeight(available);
  int upper = available - lower;
  *height = upper - 2;
  *width -= s;
  CommentaryFrame.right = CommentaryFrame.left + *width;
  CommentaryFrame.bottom = top + available - g;
  CommentaryFrame.top = top + upper + 1;
  if (CommentaryView != nullptr) {
    CommentaryView->top = CommentaryFrame.top + g / 2;
    ResizeArticle(CommentaryView, *width, lower - 1);
  }
  MoveWindow(MainScrollBar, CommentaryFrame.right + g, top - g - 2, s, upper + g, TRUE);
  int lowerHeight = CommentaryView != nullptr ? CommentaryView->height : 0;
  MoveWindow(CommentaryScrollBar, CommentaryFrame.right + g, CommentaryFrame.top - 2, s, lowerHeight + g + 2, TRUE);
}

void PaintPanes(HDC surface, HWND window, UINT bits) {
  PAINTSTRUCT paint{};
  bool began = surface == nullptr;
  if (began) surface = BeginPaint(window, &paint);
  if ((bits & REPAINT_MAIN) && MainView != nullptr) PaintArticle(MainView, (bits & REPAINT_CLEAR) != 0);
  if (bits & REPAINT_LOWER) PaintCommentaryArea(surface);
  if (began) EndPaint(window, &paint);
}

void RepaintPanes(HWND window, UINT bits) {
  if (window == nullptr) window = MainWindow;
  HDC surface = GetDC(window);
  PaintPanes(surface, window, bits);
  ReleaseDC(window, surface);
  UpdateScrollBars();
}

void PaintCommentaryArea(HDC surface) {
  int g = SurroundingGutter, s = ScrollBarWidth();
  HPEN bandPen = CreatePen(PS_SOLID, 0, kBandColour);
  HBRUSH bandBrush = CreateSolidBrush(kBandColour);
  HGDIOBJ oldPen = SelectObject(surface, bandPen);
  HGDIOBJ oldBrush = SelectObject(surface, bandBrush);
  Rectangle(surface, CommentaryFrame.left - g, CommentaryFrame.top - 2, CommentaryFrame.right + g,
            CommentaryFrame.bottom + 2 * g);
  SelectObject(surface, oldPen);
  DeleteObject(bandPen);
  HPEN linePen = CreatePen(PS_SOLID, 0, kLineColour);
  SelectObject(surface, linePen);
  Rectangle(surface, CommentaryFrame.left - g, CommentaryFrame.top - 3, CommentaryFrame.right + s + g,
            CommentaryFrame.top - 2);
  SelectObject(surface, oldPen);
  DeleteObject(linePen);
  SelectObject(surface, oldBrush);
  DeleteObject(bandBrush);
  if (CommentaryView == nullptr) return;
  int oldMode = SetBkMode(CommentaryView->surface, TRANSPARENT);
  PaintArticle(CommentaryView, false);
  SetBkMode(CommentaryView->surface, oldMode);
}

void UpdateScrollBar(HWND bar) {
  if ((Flags & FLAG_SCROLLBARS) == 0) return;
  ArticleView* view = ActiveView != nullptr ? ActiveView : MainView;
  if (view == nullptr) return;
  SCROLLINFO info{};
  info.cbSize = 28;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMin = 0;
  info.nMax = view->maxTopLine;
  info.nPage = 0;
  info.nPos = view->topLine;
  SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
}

void UpdateScrollBars() {
  ArticleView* remembered = ActiveView;
  ActiveView = MainView;
  UpdateScrollBar(MainScrollBar);
  ActiveView = CommentaryView;
  UpdateScrollBar(CommentaryScrollBar);
  ActiveView = remembered;
}
