// Process entry: the platform's own options first, then the program.
//
// The window system has not landed yet, so for now the program checks the
// book it carries and says what it will show; it draws nothing.
#include <cstdio>
#include <cstring>
#include <string>

#include "content/stored.h"
#include "index/entry_stream.h"
#include "platform/memory.h"
#include "platform/options.h"

namespace {

void PrintHelp() {
  std::printf(
      "Usage: lumora [platform options] [-- program arguments]\n"
      "\n"
      "Platform options:\n"
      "  --resources FILE   read the resources from a resource pack file instead of\n"
      "                     the pack built into the program\n"
      "  --help             show this help\n"
      "\n"
      "Program arguments are accepted and ignored.\n");
}

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
      "in the upper pane, its commentary in the lower pane. The window system has not\n"
      "landed yet, so this build renders nothing.\n");
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintHelp();
      return 0;
    }
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--resources") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "lumora: --resources needs a file\n");
        return 2;
      }
      std::string error;
      if (!PlatformUseResourcePackFile(argv[++i], &error)) {
        std::fprintf(stderr, "lumora: %s\n", error.c_str());
        return 2;
      }
      continue;
    }
    std::fprintf(stderr, "lumora: unknown option %s (try --help)\n", argv[i]);
    return 2;
  }
  return CheckBook();
}
