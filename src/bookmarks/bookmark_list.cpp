#include "bookmarks/bookmark_list.h"

#include <cstring>

#include "platform/dialogs.h"
#include "platform/memory.h"
#include "settings/checked_alloc.h"
#include "settings/program_state.h"
#include "settings/settings_store.h"

WORD* BookmarkList;
WORD BookmarkCount;

namespace {

bool g_dontAsk;  // set by the Cancel answer; never stored

}  // namespace

void LoadBookmarks() {
  // Loaded once at every start, when the removal question comes back.
  g_dontAsk = false;
  FreeBookmarks();
  DWORD length = 0;
  BYTE* block = ReadSettingBinary(u"Bookmarks", nullptr, &length);
  if (block == nullptr) return;
  DWORD entries = length / 2;
  if (entries == 0) {
    // Not even room for the end mark: an empty list with one.
    LocalFree(block);
    block = static_cast<BYTE*>(CheckedAlloc(sizeof(WORD)));
    entries = 1;
    std::memset(block, 0, sizeof(WORD));
  }
  WORD* list = reinterpret_cast<WORD*>(block);
  // The list ends at its first 0 entry; a value without one ends at its
  // last whole entry, so that every search stops inside the block.
  DWORD count = 0;
  while (count < entries && list[count] != 0) ++count;
  if (count == entries) list[--count] = 0;
  BookmarkList = list;
  BookmarkCount = static_cast<WORD>(count);
}

void SaveBookmarks() {
  if (BookmarkList != nullptr) {
    WriteSettingBinary(u"Bookmarks", reinterpret_cast<const BYTE*>(BookmarkList),
                       static_cast<DWORD>((BookmarkCount + 1) * sizeof(WORD)));
  } else {
    const WORD none = 0;
    WriteSettingBinary(u"Bookmarks", reinterpret_cast<const BYTE*>(&none), sizeof none);
  }
}

void FreeBookmarks() {
  LocalFree(BookmarkList);
  BookmarkList = nullptr;
  BookmarkCount = 0;
}

BOOL IsBookmarked() {
  if (BookmarkList == nullptr) return FALSE;
  for (const WORD* p = BookmarkList; *p != 0; ++p)
    if (*p == CurrentArticle) return TRUE;
  return FALSE;
}

void AddBookmark() {
  if (IsBookmarked()) return;
  WORD* list = static_cast<WORD*>(LocalAlloc(LMEM_FIXED, (BookmarkCount + 2u) * sizeof(WORD)));
  if (list == nullptr) return;
  if (BookmarkList != nullptr) {
    std::memcpy(list, BookmarkList, BookmarkCount * sizeof(WORD));
    LocalFree(BookmarkList);
  }
  list[BookmarkCount] = CurrentArticle;
  ++BookmarkCount;
  list[BookmarkCount] = 0;
  BookmarkList = list;
}

void RemoveBookmark() {
  if (BookmarkList == nullptr) return;
  WORD kept = 0;
  for (WORD i = 0; i < BookmarkCount; ++i) {
    if (BookmarkList[i] != CurrentArticle) BookmarkList[kept++] = BookmarkList[i];
  }
  BookmarkCount = kept;
  BookmarkList[kept] = 0;
}

void ToggleBookmark(BOOL isBookmarked) {
  if (!isBookmarked) {
    AddBookmark();
    return;
  }
  if (!g_dontAsk) {
    int answer = MessageBoxW(MainWindow, u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark", MB_YESNOCANCEL);
    if (answer == IDNO) return;
    if (answer == IDCANCEL) g_dontAsk = true;
  }
  RemoveBookmark();
}

