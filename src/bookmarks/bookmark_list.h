// The bookmarked sides: their main-text ArticleNumbers in the order added,
// kept in memory while the program runs and in the registry value
// "Bookmarks" between runs.
#pragma once

#include "platform/types.h"

// An owned array ending with a 0 entry, or none; BookmarkCount entries
// stand before the 0.
extern WORD* BookmarkList;
extern WORD BookmarkCount;

void LoadBookmarks();
void SaveBookmarks();
void FreeBookmarks();
// Whether CurrentArticle is in the list.
BOOL IsBookmarked();
// Appends CurrentArticle unless it is there already.
void AddBookmark();
// Removes every entry equal to CurrentArticle.
void RemoveBookmark();
// The Bookmark command: adds, or removes after a question that the Cancel
// answer switches off until the program ends.
void ToggleBookmark(BOOL isBookmarked);
