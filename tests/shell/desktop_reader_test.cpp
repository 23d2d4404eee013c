// The reader on the desktop backend, on Xvfb: its window shows the device's
// screen with the reader on it, and Ctrl+Q ends it through its exit path.
// With LUMORA_WRITE_DOCS=1 the window's picture goes to docs/.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/desktop/desktop_fixture.h"
#include "process_folder.h"

namespace {

constexpr int kScale = 2;
constexpr int kTaskbarHeight = 26;
constexpr long kTaskbarNavy = 0x000080;
constexpr long kLineRed = 0xFF0000;
constexpr long kBandPale = 0xEEFFFF;

// The device row of the red line under the upper pane: the first row below
// the taskbar that is red at device column x; -1 when there is none yet.
int RedLineRow(const Geometry& g, int x) {
  for (int y = kTaskbarHeight; y < g.height / kScale; ++y)
    if (ScreenPixel(g.x + x * kScale, g.y + y * kScale) == kLineRed) return y;
  return -1;
}

TEST_F(DesktopTest, TheReaderShowsItsPanesAndEndsWithCtrlQ) {
  ProcessFolder folder;
  ASSERT_TRUE(folder.Made());
  std::string registry = folder.File("registry");
  pid_t reader = StartProgram({LUMORA_PROGRAM, "--backend", "desktop", "--scale", std::to_string(kScale),
                               "--registry", registry});
  ASSERT_GT(reader, 0);
  std::string window = FindWindow("^Lumora$");
  ASSERT_FALSE(window.empty());
  Geometry g = GeometryOf(window);
  EXPECT_EQ(g.width, 240 * kScale);
  EXPECT_EQ(g.height, 320 * kScale);

  // The window may show before the reader's first frame reaches it.
  for (int i = 0; i < 500 && ScreenPixel(g.x + 1, g.y + 1) != kTaskbarNavy; ++i) usleep(20000);
  int line = -1;
  for (int i = 0; i < 20 && line < 0; ++i) {
    line = RedLineRow(g, 100);
    if (line < 0) usleep(50000);
  }
  ASSERT_GT(line, kTaskbarHeight) << "no red line under the upper pane";
  EXPECT_LT(line, 320 - kTaskbarHeight) << "the lower pane has no room";
  for (int x : {0, 120, 239}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(ScreenPixel(g.x + x * kScale, g.y + line * kScale), kLineRed) << "the line spans the window";
    EXPECT_NE(ScreenPixel(g.x + x * kScale, g.y + (line - 1) * kScale), kLineRed);
  }
  EXPECT_EQ(ScreenPixel(g.x + 100 * kScale, g.y + (line + 1) * kScale), kBandPale) << "the band under the line";
  EXPECT_EQ(ScreenPixel(g.x + 1, g.y + 1), kTaskbarNavy);
  EXPECT_EQ(ScreenPixel(g.x + 1, g.y + kTaskbarHeight * kScale - 1), kTaskbarNavy);
  EXPECT_NE(ScreenPixel(g.x + 1, g.y + kTaskbarHeight * kScale + 1), kTaskbarNavy);

  const char* docs = std::getenv("LUMORA_WRITE_DOCS");
  if (docs != nullptr && std::string(docs) == "1") {
    std::string why;
    EXPECT_TRUE(SaveScreenPng(std::string(LUMORA_SOURCE_DIR) + "/docs/reader-desktop.png", g, &why)) << why;
  }

  EXPECT_EQ(RunProgram({"xdotool", "windowfocus", "--sync", window}, false).code, 0);
  EXPECT_EQ(RunProgram({"xdotool", "key", "--delay", "30", "ctrl+q"}, false).code, 0);
  EXPECT_EQ(FinishProgram(reader, 60), 0);
  std::vector<std::string> names = RegistryValueNames(registry);
  for (const char* name : {"Program Path", "Flags", "Lesson", "BottomSection", "LastPosition", "Bookmarks"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << "the settings were not saved";
  }
}

}  // namespace
