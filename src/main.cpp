// Process entry: the platform's own options first, then the program.
//
// The reader's WinMain has not landed yet, so for now the program checks the
// book it carries and says what it will show; it draws nothing.
#include <cstdio>

#include "content/stored.h"
#include "index/entry_stream.h"
#include "platform/entry.h"
#include "platform/memory.h"

namespace {

// Fetches every stored item the way the reader will, and counts what it finds.
int CheckBook() {
  int articles = 0, failed = 0;
  unsigned expanded = 0;
  for (int n = FIRST_ARTICLE; n <= LAST_ARTICLE; ++n) {
    int error = 0;
    BYTE* article = FetchStored(n, &error);
    if (article == nullptr) {
      std::fprintf(stderr, "lumora: article %d cannot be read (code %d)\n", n, error);
      ++failed;
      continue;
    }
    ++articles;
    expanded += StoredLength(article);
    LocalFree(article);
  }
  int error = 0;
  BYTE* index = FetchStored(INDEX_NUMBER, &error);
  int groups = 0, sides = 0;
  if (index == nullptr) {
    std::fprintf(stderr, "lumora: the index cannot be read (code %d)\n", error);
    ++failed;
  } else {
    unsigned at = 0;
    IndexEntry entry;
    while (NextIndexEntry(index, StoredLength(index), &at, &entry)) {
      if (entry.id & IE_GROUP_ID) ++groups;
      else if (entry.id & IE_ARTICLE_ID) ++sides;
    }
    LocalFree(index);
  }
  std::printf("The book: %d of %d articles (%u bytes of text), an index of %d groups and %d sides.\n",
              articles, LAST_ARTICLE, expanded, groups, sides);
  std::printf(
      "The reader will open on the saved side (side 1 at the first start): its main text\n"
      "in the upper pane, its commentary in the lower pane. The reader's window has not\n"
      "landed yet, so this build renders nothing.\n");
  return failed == 0 ? 0 : 1;
}

}  // namespace

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return CheckBook(); }

int main(int argc, char** argv) { return PlatformMain(argc, argv, WinMain); }
