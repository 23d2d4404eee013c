// The reader as a process: one reader per user (a second start hands over to
// the running one and ends), a start beside the socket of a killed reader,
// and the way out when memory runs out. The running reader is this process,
// through WinMain; the others are the lumora executable.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/backend/testing.h"
#include "platform/desktop/xvfb.h"
#include "platform/entry.h"
#include "platform/instance/instance.h"
#include "platform/options.h"
#include "platform/testing.h"
#include "platform/window/testing.h"
#include "process_folder.h"
#include "registry_fixture.h"
#include "settings/program_state.h"
#include "shell/resource_ids.h"
#include "shell/shell_state.h"

namespace fs = std::filesystem;

namespace {

// Only against a hang: every process here ends by itself.
constexpr int kHangGuardSeconds = 60;

// lumora on the headless backend with a registry file of its own. Without
// input it shows its window, winds up and ends.
pid_t StartReader(const std::string& registry) {
  return StartProgram({LUMORA_PROGRAM, "--backend", "headless", "--registry", registry});
}

// A process whose end wakes this process's loop, so that an idle callback
// waiting for messages from other processes sees it.
class Watched {
 public:
  explicit Watched(pid_t pid) : waiter_([this, pid] {
      code_ = FinishProgram(pid, kHangGuardSeconds);
      ended_ = true;
      CurrentBackend().wake();
    }) {}
  Watched(const Watched&) = delete;
  Watched& operator=(const Watched&) = delete;
  ~Watched() { Finish(); }
  bool Ended() const { return ended_; }
  // Its exit code, once it has ended; -1 when it was killed.
  int Finish() {
    if (waiter_.joinable()) waiter_.join();
    return code_;
  }

 private:
  std::atomic<bool> ended_{false};
  std::atomic<int> code_{-1};
  std::thread waiter_;
};

class ReaderProcess : public MemoryRegistry {
 protected:
  void SetUp() override {
    MemoryRegistry::SetUp();
    ASSERT_TRUE(folder_.Made());
    Reset();
  }
  void TearDown() override {
    StopInstanceLayer();
    Reset();
    MemoryRegistry::TearDown();
  }
  static void Reset() {
    TestSetIdleCallback(nullptr);
    TestSetMessageSpy({});
    TestResetWindowSystem();
    TestResetHeadless();
    TestClearMessageBoxes();
    PlatformUseEmbeddedResources();
  }

  // The reader in this process, as the copy that runs first: it joins the
  // other processes, keeps its registry in `registry`, and calls `idle`
  // whenever its loop waits, until that returns false and it winds up.
  static int RunReaderHere(const std::string& registry, std::function<bool()> idle) {
    if (!StartInstanceLayer()) return -1;
    PlatformUseRegistryFile(registry);
    TestSetIdleCallback(std::move(idle));
    WCHAR commandLine[] = u"";
    int code = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
    TestSetIdleCallback(nullptr);
    StopInstanceLayer();
    return code;
  }

  // A value that a registry file holds.
  static std::pair<DWORD, std::vector<uint8_t>> Stored(const std::string& file, const char16_t* key,
                                                       const char16_t* name) {
    PlatformUseRegistryFile(file);
    auto value = Get(key, name);
    PlatformUseRegistryFile("");
    return value;
  }
  static std::vector<uint8_t> Number(DWORD n) {
    return {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
            static_cast<uint8_t>(n >> 24)};
  }

  ProcessFolder folder_;
};

// Who is in front, as the second start sees it.
std::string Front() {
  HWND front = GetForegroundWindow();
  if (front == nullptr) return "another program";
  if (front == MainWindow) return "the main window";
  if (GetParent(front) == MainWindow) return "a window of the reader";
  return "something else";
}

// A second start reads the switches, finds the running reader, acts on who
// is in front and ends with 0, writing nothing.
TEST_F(ReaderProcess, ASecondStartHandsOverToTheRunningReader) {
  struct Row {
    const char* name;
    std::function<void()> before;  // in the running reader, before the second start
    std::string frontBefore, frontAfter;
    std::vector<UINT> commands;  // that the running reader's main window is sent meanwhile
    int raises;                  // of the running reader's screen
  };
  const Row rows[] = {
      {"its main window in front", [] {}, "the main window", "the main window", {IDM_INDEX}, 0},
      {"its About box in front", [] { TestCommand(IDM_ABOUT); }, "a window of the reader",
       "a window of the reader", {}, 0},
      {"another program in front", [] { TestSetHeadlessFocus(false); }, "another program", "the main window", {}, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Reset();
    std::string registry = folder_.File("second.reg");
    std::vector<UINT> commands;
    std::string frontBefore, frontAfter;
    std::unique_ptr<Watched> second;
    bool watching = false;
    TestSetMessageSpy([&](HWND window, UINT message, WPARAM wParam, LPARAM) {
      if (watching && message == WM_COMMAND && window == MainWindow) commands.push_back(LOWORD(wParam));
    });
    int step = 0;
    int code = RunReaderHere(folder_.File("running.reg"), [&] {
      switch (step++) {
        case 0:
          r.before();
          return true;
        case 1:
          frontBefore = Front();
          watching = true;
          second = std::make_unique<Watched>(StartReader(registry));
          return true;
        default:
          if (second->Ended()) {
            frontAfter = Front();
            return false;
          }
          TestWaitForWake(-1);
          return true;
      }
    });
    TestSetMessageSpy({});
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Finish(), 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(frontBefore, r.frontBefore);
    EXPECT_EQ(frontAfter, r.frontAfter);
    EXPECT_EQ(commands, r.commands);
    EXPECT_EQ(TestHeadlessRaises(), r.raises);
    EXPECT_FALSE(fs::exists(registry)) << "the second start wrote settings";
  }
}

TEST_F(ReaderProcess, AStartBesideTheSocketOfAKilledReaderRunsNormally) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t killed = fork();
  ASSERT_GE(killed, 0);
  if (killed == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(ready[0]);
    RunReaderHere(folder_.File("killed.reg"), [&] {
      char c = 'r';
      if (write(ready[1], &c, 1) == 1) pause();
      return false;
    });
    _exit(3);
  }
  close(ready[1]);
  char c = 0;
  bool up = read(ready[0], &c, 1) == 1;
  close(ready[0]);
  std::string socket = folder_.Sockets() + "/" + std::to_string(killed) + ".sock";
  EXPECT_TRUE(up && fs::exists(socket)) << "the first reader never listened";
  kill(killed, SIGKILL);
  ASSERT_EQ(waitpid(killed, nullptr, 0), killed);
  ASSERT_TRUE(fs::exists(socket)) << "a killed reader leaves its socket";

  std::string registry = folder_.File("new.reg");
  EXPECT_EQ(FinishProgram(StartReader(registry), kHangGuardSeconds), 0);
  EXPECT_EQ(Stored(registry, SETTINGS_KEY, u"Lesson"), std::make_pair(static_cast<DWORD>(REG_DWORD), Number(1)))
      << "the start did not run to its settings";
  EXPECT_TRUE(fs::is_empty(folder_.Sockets())) << "the stale socket, or the new one, is left";
}

bool TaskbarShown() { return IsWindowVisible(FindWindowW(u"HHTaskBar", u"")) != FALSE; }

// The taskbar while the reader waited for the first time: at its message box.
const char* g_taskbarAtWait = "no wait";

// What the reader showed and left when it ended, on one line of standard
// error for the death test: its message boxes and the taskbar.
void ReportAtExit() {
  std::string line = "ended:";
  for (const MessageBoxRecord& b : TestMessageBoxes()) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "%#x", b.flags);
    line += " [" + std::string(b.caption.begin(), b.caption.end()) + "|" + std::string(b.text.begin(), b.text.end()) +
            "|" + flags + "|" + (b.owner == nullptr ? "no owner" : "owned") + "]";
  }
  line += std::string(" taskbar ") + g_taskbarAtWait + ", then " + (TaskbarShown() ? "shown" : "hidden");
  std::fprintf(stderr, "%s\n", line.c_str());
}

// CheckedAlloc covers the reads of the settings at start: the nth
// allocation from WinMain on fails in the read the row names. The reader
// tells, shows the taskbar again and ends with 0.
TEST_F(ReaderProcess, OutOfMemoryTellsAndEndsWithoutLosingTheStoredSettings) {
  struct Value {
    const char16_t* key;
    const char16_t* name;
    DWORD type;
    std::vector<uint8_t> bytes;
  };
  // Every allocation that can fail this way comes while the settings are
  // read; what is stored then stays as it was, never overwritten by defaults.
  struct Row {
    const char* name;
    std::vector<Value> stored;
    unsigned long failAt;
    const char* taskbarAtBox;
  };
  const std::vector<uint8_t> one = Number(1);
  const Row rows[] = {
      {"the first switch, kept as text", {{SWITCHES_KEY, u"IgnoreActivate", REG_SZ, Text(u"0")}}, 1, "shown"},
      {"the face name, full screen",
       {{SWITCHES_KEY, u"FullScreen", REG_DWORD, one}, {SETTINGS_KEY, u"FontName", REG_SZ, Text(u"David CLM")}},
       1,
       "hidden"},
      {"the block for an empty bookmark list, the last read",
       {{SWITCHES_KEY, u"FullScreen", REG_DWORD, one},
        {SETTINGS_KEY, u"Lesson", REG_DWORD, Number(37)},
        {SETTINGS_KEY, u"Flags", REG_DWORD, Number(0x00140040)},
        {SETTINGS_KEY, u"Bookmarks", REG_BINARY, {0}}},
       2,
       "hidden"},
  };
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string registry = folder_.File("memory-" + std::to_string(++n) + ".reg");
    PlatformUseRegistryFile(registry);
    for (const Value& v : r.stored) Put(v.key, v.name, v.type, v.bytes);
    PlatformUseRegistryFile("");
    EXPECT_EXIT(
        {
          std::atexit(ReportAtExit);
          TestSetIdleCallback([] {
            g_taskbarAtWait = TaskbarShown() ? "shown" : "hidden";
            return false;
          });
          PlatformUseRegistryFile(registry);
          TestFailAllocationAt(r.failAt);
          WCHAR commandLine[] = u"";
          WinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW);
        },
        ::testing::ExitedWithCode(0),
        std::string("ended: \\[Error\\|There is not enough memory, aborting\\|0x10\\|no owner\\] taskbar ") +
            r.taskbarAtBox + ", then shown\n");
    for (const Value& v : r.stored) {
      EXPECT_EQ(Stored(registry, v.key, v.name), std::make_pair(v.type, v.bytes))
          << std::string(v.name, v.name + std::char_traits<char16_t>::length(v.name));
    }
    for (const char16_t* name : {u"Flags", u"Lesson", u"BottomSection", u"LastPosition", u"Bookmarks"}) {
      bool stored = false;
      for (const Value& v : r.stored) stored = stored || std::u16string(v.name) == name;
      if (!stored) {
        EXPECT_EQ(Stored(registry, SETTINGS_KEY, name).first, static_cast<DWORD>(REG_NONE))
            << std::string(name, name + std::char_traits<char16_t>::length(name)) << " was written";
      }
    }
  }
}

}  // namespace
