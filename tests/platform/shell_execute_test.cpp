#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/shell_execute.h"
#include "platform/shellapi.h"

namespace fs = std::filesystem;

TEST(ShellExecute, OpensOnlyWebUrlsWithTheOpenVerb) {
  struct Row {
    const char16_t* verb;
    const char16_t* file;
    DWORD size;
    bool opened;
  } rows[] = {
      {u"Open", u"http://lumora.example/", 60, true},
      {u"open", u"https://lumora.example/cgi-bin/upgrade?p=1&v=2", 60, true},
      {nullptr, u"HTTPS://LUMORA.EXAMPLE/", sizeof(SHELLEXECUTEINFO), true},
      {u"Open", u"ftp://lumora.example/", 60, false},
      {u"Open", u"file:///etc/passwd", 60, false},
      {u"Open", u"javascript:alert(1)", 60, false},
      {u"Open", u"http://lumora.example/a b", 60, false},
      {u"Open", u"http://", 60, false},
      {u"Open", u"", 60, false},
      {u"Open", nullptr, 60, false},
      {u"Print", u"http://lumora.example/", 60, false},
      {u"Open", u"http://lumora.example/", 59, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file ? std::string(r.file, r.file + std::char_traits<char16_t>::length(r.file)) : "(none)");
    ClearOpenedUrls();
    SHELLEXECUTEINFO info = {};
    info.cbSize = r.size;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = r.verb;
    info.lpFile = r.file;
    EXPECT_EQ(ShellExecuteEx(&info) != FALSE, r.opened);
    EXPECT_EQ(OpenedUrls().size(), r.opened ? 1u : 0u);
  }
  EXPECT_EQ(ShellExecuteEx(nullptr), FALSE);
}

// The browser gets the URL as its one argument: no shell sees it.
TEST(ShellExecute, SpawnedBrowserGetsTheUrlVerbatim) {
  fs::path bin = fs::path(::testing::TempDir()) / ("lumora-fake-browser-" + std::to_string(getpid()));
  fs::create_directories(bin);
  fs::path log = bin / "args";
  {
    std::ofstream script(bin / "xdg-open");
    script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" << log.string() << "'\n";
  }
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
  std::string url = "https://lumora.example/?q=$(touch%20x);echo'";
  bool ok = SpawnBrowser(url);
  setenv("PATH", oldPath.c_str(), 1);
  ASSERT_TRUE(ok);
  std::ifstream in(log);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), "1\n" + url + "\n");
  fs::remove_all(bin);
}
