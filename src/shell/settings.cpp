// The settings store: the reader's state read once at start and written
// once at exit, in the registry under "Software\Varnatek\Lumora".
#include <cstring>

#include "bookmarks/bookmark_list.h"
#include "settings/settings_store.h"
#include "shell/shell_state.h"

WORD LastPosition;
char SearchString[SEARCH_STRING_SIZE];
LONG BottomSection;
WORD BottomSectionLastPosition;
LONG IgnoreActivate, FullScreen, AllowSipInHebrewSearch, MenuBarOnBottom, SurroundingGutter;
HBITMAP IndexIcons[3];
BOOL SettingsLoaded;

namespace {

// The ratio codes the lower pane knows. Any other would divide by its last
// digit, or give a meaningless share: it is read as the default.
LONG ValidBottomSection(LONG code) {
  switch (code) {
    case 14:
    case 13:
    case 12:
    case 23:
    case 34:
    case 1:
      return code;
    default:
      return 12;
  }
}

}  // namespace

void LoadSettings() {
  SettingsLoaded = FALSE;
  WCHAR path[260];
  DWORD length = GetModuleFileNameW(nullptr, path, 260);
  if (length > 0 && path[0] != 0) {
    path[length < 260 ? length : 259] = 0;
    WriteSettingText(u"Program Path", path);
  }

  if (WCHAR* face = ReadSettingText(u"FontName")) {
    if (face[0] != 0) {
      int n = 0;
      while (n < LF_FACESIZE - 1 && face[n] != 0) {
        FontSpec.faceName[n] = face[n];
        ++n;
      }
      FontSpec.faceName[n] = 0;
    }
    LocalFree(face);
  }
  ReadSettingText8(u"SearchString", SearchString, SEARCH_STRING_SIZE);

  FontSpec.size = ReadSettingNumber(u"FontSize", 0);
  FontSpec.letterBase = ReadSettingNumber(u"FontAsciiBase", 1488);
  LastPosition = static_cast<WORD>(ReadSettingNumber(u"LastPosition", 0));
  Flags = static_cast<DWORD>(ReadSettingNumber(u"Flags", static_cast<LONG>(DEFAULT_FLAGS_SETTING)));
  CurrentArticle = static_cast<WORD>(ReadSettingNumber(u"Lesson", 0));

  for (int i = 0; i < 3; ++i) IndexIcons[i] = LoadBitmapW(ProgramInstance, MAKEINTRESOURCEW(201 + i));

  BottomSection = ValidBottomSection(ReadSettingNumber(u"BottomSection", 12));
  BottomSectionLastPosition = static_cast<WORD>(ReadSettingNumber(u"BottomSectionLastPosition", 0));

  LoadBookmarks();
  SettingsLoaded = TRUE;
}

void SaveSettings() {
  for (HBITMAP& icon : IndexIcons) {
    if (icon != nullptr) DeleteObject(icon);
    icon = nullptr;
  }
  if (SearchString[0] != 0) WriteSettingText8(u"SearchString", SearchString);
  if (FontSpec.faceName[0] != 0) WriteSettingText(u"FontName", FontSpec.faceName);
  if (FontSpec.size != 0) WriteSettingNumber(u"FontSize", FontSpec.size);
  if (FontSpec.letterBase != 0) WriteSettingNumber(u"FontAsciiBase", FontSpec.letterBase);
  if (MainView != nullptr) WriteSettingNumber(u"LastPosition", MainView->topLine);
  WriteSettingNumber(u"Flags", static_cast<LONG>(Flags));
  if (CurrentArticle != 0) WriteSettingNumber(u"Lesson", CurrentArticle);
  if (MainView != nullptr) {
    DestroyArticleView(MainView, true);
    MainView = nullptr;
  }
  WriteSettingNumber(u"BottomSection", BottomSection);
  if (CommentaryView != nullptr) {
    WriteSettingNumber(u"BottomSectionLastPosition", CommentaryView->topLine);
    DestroyArticleView(CommentaryView, true);
    CommentaryView = nullptr;
  }
  SaveBookmarks();
  FreeBookmarks();
  PostQuitMessage(0);
}

void SetCurrentArticle(WORD n) {
  if (n == 0) {
    if (CurrentArticle != 0) return;
    CurrentArticle = 1;
  } else {
    if (CurrentArticle == n) return;
    CurrentArticle = n;
  }
  LastPosition = 0;
}
