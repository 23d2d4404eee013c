// The desktop backend on Xvfb: a small program driven with xdotool (pen,
// keys and typed text, window size, closing), the window's scale, and the
// backend's own calls.
#include <SDL.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "desktop_fixture.h"
#include "platform/backend/backend.h"
#include "platform/screen.h"
#include "platform/window/testing.h"

namespace {

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("lumora-desktop-" + std::to_string(getpid()) + "-" + name))
      .string();
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Waits (only so long, against a hang) until the program has written the line.
bool WaitForLine(const std::string& path, const std::string& line) {
  for (int i = 0; i < 1500; ++i) {
    for (const std::string& l : Lines(path))
      if (l == line) return true;
    usleep(20000);
  }
  return false;
}

std::vector<std::string> After(const std::vector<std::string>& lines, size_t mark) {
  return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(std::min(mark, lines.size())),
                                  lines.end());
}

void Xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  Ran r = RunProgram(argv, false);
  EXPECT_EQ(r.code, 0) << args[0];
}

constexpr long kTaskbarNavy = 0x000080;

}  // namespace

TEST_F(DesktopTest, ProgramTakesPenKeysSizeAndClose) {
  std::string log = TempFile("probe.log");
  pid_t probe = StartProgram({DESKTOP_PROBE, "--backend", "desktop", "--scale", "2", "--", log});
  ASSERT_GT(probe, 0);
  // The window's title follows the program's window.
  std::string window = FindWindow("^Probe$");
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(WaitForLine(log, "size 240 294"));

  // Keys and typed text, each character once: the key's own, or the text's.
  Xdotool({"windowfocus", window});
  size_t mark = Lines(log).size();
  Xdotool({"key", "--delay", "30", "Next", "ctrl+c", "a", "shift+b", "F5", "Escape"});
  // xdotool lends a spare key to each letter and takes it back: slow enough
  // that the program reads the keymap before it changes again.
  Xdotool({"type", "--delay", "150", "שלום"});
  Xdotool({"key", "Return"});
  ASSERT_TRUE(WaitForLine(log, "char 000D"));
  const std::vector<std::string> typed = {
      "key 22",          "key 11 ctrl", "key 43 ctrl", "char 0003", "key 41",    "char 0061",
      "key 10 shift",    "key 42 shift", "char 0042",  "key 74",    "key 1B",    "char 001B",
      "char 05E9",       "char 05DC",   "char 05D5",   "char 05DD", "key 0D",    "char 000D"};
  EXPECT_EQ(After(Lines(log), mark), typed);

  // The pen, in screen pixels: the window shows each one as 2 x 2.
  mark = Lines(log).size();
  Xdotool({"mousemove", "--window", window, "100", "200", "click", "1"});
  Xdotool({"mousemove", "--window", window, "60", "100", "click", "1"});
  ASSERT_TRUE(WaitForLine(log, "command 100"));
  EXPECT_EQ(After(Lines(log), mark), (std::vector<std::string>{"down 50 74", "up 50 74", "command 100"}));

  Geometry g = GeometryOf(window);
  EXPECT_EQ(g.width, 480);
  EXPECT_EQ(g.height, 640);
  EXPECT_EQ(ScreenPixel(g.x + 2, g.y + 50), kTaskbarNavy);
  EXPECT_NE(ScreenPixel(g.x + 2, g.y + 54), kTaskbarNavy);
  std::string why;
  EXPECT_TRUE(SaveScreenPng(std::string(DESKTOP_SHOTS) + "/desktop-probe.png", &why)) << why;

  // A new window size is a new screen size; the windows follow it.
  Xdotool({"windowsize", window, "600", "700"});
  ASSERT_TRUE(WaitForLine(log, "size 300 324"));
  for (int i = 0; i < 500 && ScreenPixel(g.x + 590, g.y + 10) != kTaskbarNavy; ++i) usleep(20000);
  EXPECT_EQ(ScreenPixel(g.x + 590, g.y + 10), kTaskbarNavy);
  EXPECT_TRUE(SaveScreenPng(std::string(DESKTOP_SHOTS) + "/desktop-probe-resized.png", &why)) << why;

  // Closing the window ends the program through its own exit path.
  EXPECT_TRUE(AskToClose(std::stoul(window)));
  EXPECT_EQ(FinishProgram(probe, 60), 0);
  std::vector<std::string> lines = Lines(log);
  EXPECT_EQ(After(lines, lines.size() - std::min<size_t>(3, lines.size())),
            (std::vector<std::string>{"close", "destroy", "exit 0"}));
  std::filesystem::remove(log);
}

TEST_F(DesktopTest, WindowScaleAndScreenOptions) {
  struct Row {
    std::vector<std::string> options;
    int code;  // 2: refused before a window opens
    int width, height;
  };
  const Row rows[] = {
      {{}, 0, 480, 640},  // the largest whole factor that fits 1024 x 768
      {{"--scale", "1"}, 0, 240, 320},
      {{"--scale", "3", "--screen", "200x150"}, 0, 600, 450},
      {{"--scale", "0"}, 2, 0, 0},
      {{"--scale", "17"}, 2, 0, 0},
      {{"--scale", "2x"}, 2, 0, 0},
      {{"--scale", "2", "--backend", "nope"}, 2, 0, 0},
  };
  for (const Row& r : rows) {
    std::string options;
    for (const std::string& o : r.options) options += o + " ";
    SCOPED_TRACE(options);
    std::string log = TempFile("scale.log");
    std::vector<std::string> argv{DESKTOP_PROBE};
    argv.insert(argv.end(), r.options.begin(), r.options.end());
    argv.insert(argv.end(), {"--", log});
    pid_t probe = StartProgram(argv);
    ASSERT_GT(probe, 0);
    if (r.code != 0) {
      EXPECT_EQ(FinishProgram(probe, 60), r.code);
      continue;
    }
    std::string window = FindWindow("^Probe$");
    ASSERT_FALSE(window.empty());
    Geometry g = GeometryOf(window);
    EXPECT_EQ(g.width, r.width);
    EXPECT_EQ(g.height, r.height);
    EXPECT_TRUE(AskToClose(std::stoul(window)));
    EXPECT_EQ(FinishProgram(probe, 60), 0);
    std::filesystem::remove(log);
  }
}

TEST_F(DesktopBackendTest, WakeFromAnotherThreadEndsTheWait) {
  auto queuedWakes = [] {
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT);
  };
  ASSERT_EQ(queuedWakes(), 0);
  std::thread([] {
    CurrentBackend().wake();
    CurrentBackend().wake();  // one is enough while it waits to be seen
  }).join();
  EXPECT_EQ(queuedWakes(), 1);
  InputEvent e;
  InputWait got = InputWait::kEvent;
  for (int i = 0; i < 100 && got == InputWait::kEvent; ++i) got = CurrentBackend().waitInput(&e, -1);
  EXPECT_EQ(got, InputWait::kTimeout);
  EXPECT_EQ(queuedWakes(), 0);
  CurrentBackend().wake();
  EXPECT_EQ(queuedWakes(), 1);
}

TEST_F(DesktopBackendTest, FocusPresentAndClose) {
  const Backend& b = CurrentBackend();
  EXPECT_STREQ(b.name, "desktop");
  std::string window = FindWindow("^Lumora$");
  ASSERT_FALSE(window.empty());
  Xdotool({"windowfocus", window});
  InputEvent e;
  for (int i = 0; i < 500 && !b.hasFocus(); ++i) {
    b.waitInput(&e, 10);
  }
  EXPECT_TRUE(b.hasFocus());

  // What the screen holds shows in the window, each pixel as a block.
  Geometry g = GeometryOf(window);
  int scale = g.width / ScreenWidth();
  ASSERT_GE(scale, 1);
  for (int y = 0; y < ScreenHeight(); ++y)
    for (int x = 0; x < ScreenWidth(); ++x) ScreenPixels()[y * ScreenWidth() + x] = x < 10 ? 0xFF0000 : 0x00FF00;
  b.present();
  for (int i = 0; i < 100; ++i) b.waitInput(&e, 0);
  EXPECT_EQ(ScreenPixel(g.x + 10 * scale - 1, g.y + 5), 0xFF0000);
  EXPECT_EQ(ScreenPixel(g.x + 10 * scale, g.y + 5), 0x00FF00);

  EXPECT_TRUE(AskToClose(std::stoul(window)));
  InputWait got = InputWait::kTimeout;
  for (int i = 0; i < 500 && got != InputWait::kEnded; ++i) got = b.waitInput(&e, 10);
  EXPECT_EQ(got, InputWait::kEnded);
  EXPECT_EQ(b.waitInput(&e, -1), InputWait::kEnded);  // and stays so
}

// The window system's demonstration on the desktop: a tap on its menu bar
// opens the menu, and its own shortcut ends it.
TEST_F(DesktopTest, DemonstrationOpensItsMenuAndQuits) {
  pid_t demo = StartProgram({DEMO_PROGRAM, "--backend", "desktop", "--scale", "2"});
  ASSERT_GT(demo, 0);
  std::string window = FindWindow("^Lumora Demo$");
  ASSERT_FALSE(window.empty());
  Geometry g = GeometryOf(window);
  ASSERT_EQ(g.width, 480);
  // The screen's pixels where the menu opens, above the menu bar's left end.
  auto area = [&g] {
    std::vector<long> pixels;
    for (int y = 200; y < 294; y += 3)
      for (int x = 0; x < 120; x += 3) pixels.push_back(ScreenPixel(g.x + 2 * x, g.y + 2 * y));
    return pixels;
  };
  for (int i = 0; i < 500 && ScreenPixel(g.x + 2, g.y + 2) != kTaskbarNavy; ++i) usleep(20000);
  std::vector<long> before = area();

  Xdotool({"mousemove", "--window", window, "20", "620", "click", "1"});
  std::vector<long> after = before;
  for (int i = 0; i < 500 && after == before; ++i) {
    usleep(20000);
    after = area();
  }
  EXPECT_NE(after, before) << "the menu did not open";
  std::string why;
  EXPECT_TRUE(SaveScreenPng(std::string(DESKTOP_SHOTS) + "/desktop-demo.png", g, &why)) << why;
  if (std::getenv("LUMORA_WRITE_DOCS") != nullptr) {
    EXPECT_TRUE(SaveScreenPng(std::string(LUMORA_SOURCE_DIR) + "/docs/desktop-demo.png", g, &why)) << why;
  }

  Xdotool({"key", "Escape"});
  Xdotool({"key", "ctrl+q"});
  EXPECT_EQ(FinishProgram(demo, 60), 0);
}
