// One running program per user: processes find each other's windows through
// their sockets, send them messages, and pass the foreground between them.
// The other processes are the helper (helper.cpp), started as children.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/backend/testing.h"
#include "platform/instance/instance.h"
#include "platform/instance/protocol.h"
#include "platform/instance/testing.h"
#include "platform/user.h"
#include "platform/window/testing.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// Long enough for any child to answer; reached only when something hangs.
constexpr int kHangGuardMs = 60000;

class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Kill(); }

  bool Start(const std::vector<std::string>& args) {
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0) return false;
    std::vector<char*> argv{const_cast<char*>(INSTANCE_HELPER)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      dup2(pipe[1], 1);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipe[1]);
    out_ = pipe[0];
    return pid_ > 0;
  }

  // The next line it prints; empty when it ended first.
  std::string Line() {
    for (;;) {
      size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return line;
      }
      // Meanwhile this process answers the others, as its loop would.
      pollfd p[2] = {{out_, POLLIN, 0}, {TestInstanceArrivals(), POLLIN, 0}};
      if (poll(p, 2, kHangGuardMs) <= 0) return {};
      if (p[1].revents != 0) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
      }
      if (p[0].revents == 0) continue;
      char chunk[256];
      ssize_t n = read(out_, chunk, sizeof chunk);
      if (n <= 0) return {};
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  // Its exit code, or -1 when it was killed.
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Kill() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ >= 0) close(out_);
    out_ = -1;
  }

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

class InstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestResetWindowSystem();
    char dir[] = "/tmp/lumora-instance-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    runtime_ = dir;
    setenv("XDG_RUNTIME_DIR", dir, 1);
    folder_ = runtime_ + "/lumora";
    TestSetInstanceAnswerTime(0);
  }
  void TearDown() override {
    StopInstanceLayer();
    children_.clear();
    TestResetWindowSystem();
    TestSetInstanceAnswerTime(0);
    std::error_code ignored;
    fs::remove_all(runtime_, ignored);
  }

  // This process joins in, as the platform's entry makes every process do.
  void Join() { ASSERT_TRUE(StartInstanceLayerIn(PrepareInstanceFolder(runtime_.c_str(), "/tmp"))); }

  Child& Start(const std::vector<std::string>& args, const char* firstLine = "ready") {
    children_.push_back(std::make_unique<Child>());
    Child& c = *children_.back();
    EXPECT_TRUE(c.Start(args));
    if (firstLine != nullptr) {
      EXPECT_EQ(c.Line(), firstLine);
    }
    return c;
  }

  // Runs a child to its end: what it printed, and its exit code last.
  std::vector<std::string> Run(const std::vector<std::string>& args) {
    Child& c = Start(args, nullptr);
    std::vector<std::string> lines;
    for (std::string l = c.Line(); !l.empty(); l = c.Line()) lines.push_back(l);
    lines.push_back("exit " + std::to_string(c.Wait()));
    return lines;
  }

  std::string Socket(pid_t pid) const { return folder_ + "/" + std::to_string(pid) + ".sock"; }

  Lines Sockets() const {
    Lines paths;
    for (const fs::directory_entry& e : fs::directory_iterator(folder_)) paths.push_back(e.path().string());
    return paths;
  }

  std::string runtime_, folder_;
  std::vector<std::unique_ptr<Child>> children_;
};

// The running copy's main window is in front: the second start makes it open
// its section dialog and waits until that closes; while it is open the first
// still answers, and a third start sees the dialog in front and does nothing.
TEST_F(InstanceTest, SecondStartOpensTheDialogOfTheRunningCopyAndWaitsForIt) {
  Join();
  Child& first = Start({"serve", "Lumora"});
  Child& second = Start({"launch"}, nullptr);
  EXPECT_EQ(first.Line(), "command 119");
  EXPECT_EQ(first.Line(), "modal");

  HWND main = FindWindowW(u"Lumora", u"Lumora");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsWindow(main));
  HWND front = GetForegroundWindow();
  ASSERT_NE(front, nullptr);
  EXPECT_NE(front, main);
  EXPECT_EQ(FindWindowW(nullptr, u"Choose"), front);
  EXPECT_EQ(GetParent(front), main);
  EXPECT_EQ(GetParent(main), nullptr);
  EXPECT_EQ(Run({"launch"}), (Lines{"nothing", "exit 0"}));

  EXPECT_EQ(SendMessageW(main, WM_COMMAND, 120, 0), 1);
  EXPECT_EQ(first.Line(), "command 120");
  EXPECT_EQ(first.Line(), "modal done");
  EXPECT_EQ(second.Line(), "sent 4119");
  EXPECT_EQ(second.Line(), "");
  EXPECT_EQ(second.Wait(), 0);

  EXPECT_EQ(GetForegroundWindow(), main);
  EXPECT_EQ(SendMessageW(main, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(first.Line(), "");
  EXPECT_EQ(first.Wait(), 0);
  EXPECT_FALSE(fs::exists(Socket(first.pid())));
}

// Another program is in front: the second start brings the running copy
// forward and opens nothing.
TEST_F(InstanceTest, SecondStartBringsTheRunningCopyForward) {
  Join();
  Child& first = Start({"serve", "Lumora", "nofocus"});
  HWND main = FindWindowW(u"Lumora", u"Lumora");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(SendMessageW(main, WM_COMMAND, 121, 0), 0);
  EXPECT_EQ(first.Line(), "command 121");
  EXPECT_EQ(Run({"launch"}), (Lines{"raised", "exit 0"}));
  EXPECT_EQ(SendMessageW(main, WM_COMMAND, 122, 0), 1);  // raised once
  EXPECT_EQ(SendMessageW(main, WM_COMMAND, 121, 0), 1);  // and in front
  EXPECT_EQ(first.Line(), "command 122");
  EXPECT_EQ(first.Line(), "command 121");
}

TEST_F(InstanceTest, AloneTheFirstStartFindsNothing) {
  Join();
  EXPECT_EQ(FindWindowW(u"Lumora", u"Lumora"), nullptr);
  EXPECT_EQ(Run({"launch"}), (Lines{"alone", "exit 0"}));
  EXPECT_EQ(Sockets(), (Lines{Socket(getpid())})) << "the child's socket went with it";
}

TEST_F(InstanceTest, TheForegroundPassesBetweenProcesses) {
  Join();
  Start({"serve", "One", "nofocus"});
  Start({"serve", "Two"});
  HWND one = FindWindowW(u"Lumora", u"One"), two = FindWindowW(u"Lumora", u"Two");
  ASSERT_NE(one, nullptr);
  ASSERT_NE(two, nullptr);
  EXPECT_NE(one, two);
  EXPECT_EQ(FindWindowW(u"Lumora", u"One"), one) << "the same window, the same handle";
  EXPECT_EQ(FindWindowW(u"Lumora", u"Three"), nullptr);
  EXPECT_EQ(FindWindowW(nullptr, u"One"), one);

  // Ours is in front while our backend has the focus.
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"Local";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND local = CreateWindowExW(0, u"Local", u"Local", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(GetForegroundWindow(), local);
  TestSetHeadlessFocus(false);
  EXPECT_EQ(GetForegroundWindow(), two);

  EXPECT_TRUE(SetForegroundWindow(one));
  EXPECT_EQ(SendMessageW(one, WM_COMMAND, 121, 0), 1);
  EXPECT_EQ(SendMessageW(one, WM_COMMAND, 122, 0), 1);
  EXPECT_EQ(SendMessageW(two, WM_COMMAND, 122, 0), 0);
}

// Only messages of plain numbers cross; the rest stay here and answer 0.
TEST_F(InstanceTest, MessagesCarryTheirNumbersAndResultsBack) {
  Join();
  Child& first = Start({"serve", "Lumora"});
  HWND main = FindWindowW(u"Lumora", u"Lumora");
  ASSERT_NE(main, nullptr);
  const char16_t text[] = u"text";
  struct Row {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    const char* seen;  // what the other side printed, or nothing
  };
  const Row rows[] = {
      {WM_COMMAND, 7, 0, 1007, "command 7"},
      {WM_COMMAND, 7, 0x40010, 0, nullptr},
      {0x3FF, 5, 6, 11, "got 1023 5 6"},
      {WM_USER + 5, 0xFFFFFFFF, 0x7FFFFFFF, 0x17FFFFFFE, "got 1029 4294967295 2147483647"},
      {WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), 0, nullptr},
      {WM_GETTEXT, 5, reinterpret_cast<LPARAM>(text), 0, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.message);
    EXPECT_EQ(SendMessageW(main, r.message, r.wParam, r.lParam), r.result);
    // A command after each shows what arrived before it.
    EXPECT_EQ(SendMessageW(main, WM_COMMAND, 1, 0), 1001);
    if (r.seen != nullptr) {
      EXPECT_EQ(first.Line(), r.seen);
    }
    EXPECT_EQ(first.Line(), "command 1");
  }
}

// Two processes that send to each other at once: each runs the other's
// message while it waits for its own answer.
TEST_F(InstanceTest, ProcessesMaySendToEachOther) {
  Join();
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    return message == WM_COMMAND ? 500 + static_cast<LRESULT>(wParam) : DefWindowProcW(h, message, wParam, lParam);
  };
  wc.lpszClassName = u"Lumora";
  ASSERT_NE(RegisterClassW(&wc), 0);
  ASSERT_NE(CreateWindowExW(0, u"Lumora", u"Test", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr), nullptr);
  Child& first = Start({"serve", "Lumora"});
  HWND main = FindWindowW(u"Lumora", u"Lumora");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(SendMessageW(main, WM_COMMAND, 123, 0), 505);
  EXPECT_EQ(first.Line(), "command 123");
}

TEST_F(InstanceTest, TheSocketOfAKilledProcessIsRemovedAndIgnored) {
  Child& gone = Start({"serve", "Lumora"});
  std::string socket = Socket(gone.pid());
  ASSERT_TRUE(fs::exists(socket));
  gone.Kill();
  EXPECT_TRUE(fs::exists(socket));
  EXPECT_EQ(Run({"launch"}), (Lines{"alone", "exit 0"}));
  EXPECT_FALSE(fs::exists(socket));
  EXPECT_EQ(Sockets(), Lines{});
}

// A process that takes the connection and never answers, or never takes it,
// counts as absent once the answer time has passed; the others are still found.
TEST_F(InstanceTest, ASilentProcessDoesNotHoldUpTheSearch) {
  TestSetInstanceAnswerTime(500);
  Join();
  Start({"serve", "Lumora"});
  for (const char* kind : {"mute", "deaf"}) {
    SCOPED_TRACE(kind);
    Child& silent = Start({kind});
    EXPECT_NE(FindWindowW(u"Lumora", u"Lumora"), nullptr);
    EXPECT_EQ(FindWindowW(u"Lumora", u"Nobody"), nullptr);
    EXPECT_EQ(GetForegroundWindow(), FindWindowW(u"Lumora", u"Lumora"));
    EXPECT_TRUE(fs::exists(Socket(silent.pid()))) << "it lives: its socket stays";
    silent.Kill();
  }
}

// What arrives on the socket from outside: anything malformed is refused and
// the connection closed; the rest waits for this thread's loop.
TEST_F(InstanceTest, TheListenerRefusesWhatItCannotRun) {
  TestSetInstanceAnswerTime(500);
  Join();
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    return message == WM_COMMAND ? 1000 + static_cast<LRESULT>(wParam) : DefWindowProcW(h, message, wParam, lParam);
  };
  wc.lpszClassName = u"Lumora";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND main = CreateWindowExW(0, u"Lumora", u"Lumora", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExW(0, u"Lumora", u"Child", WS_CHILD, 0, 0, 5, 5, main, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  std::string path = Socket(getpid());

  struct Exchange {
    std::vector<instance::Reply> replies;
    bool closed = false;
  };
  // Sends the bytes as one record and reads what comes back, while this
  // thread's loop runs what the listener queues.
  auto exchange = [&path](const std::vector<uint8_t>& bytes, bool ask = true) {
    Exchange e;
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (ask) send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    for (;;) {
      pollfd p[2] = {{fd, POLLIN, 0}, {TestInstanceArrivals(), POLLIN, 0}};
      if (poll(p, 2, kHangGuardMs) <= 0) break;
      if (p[1].revents != 0) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
      }
      if (p[0].revents == 0) continue;
      uint8_t record[64];
      ssize_t n = recv(fd, record, sizeof record, 0);
      instance::Reply r;
      if (n <= 0 || !instance::DecodeReply(record, static_cast<size_t>(n), &r)) {
        e.closed = n == 0;
        break;
      }
      e.replies.push_back(r);
    }
    close(fd);
    return e;
  };
  auto request = [](instance::Ask ask, uint64_t process, HWND window, UINT message = 0, LPARAM lParam = 0) {
    instance::Request r;
    r.ask = ask;
    r.process = process;
    r.window = reinterpret_cast<uintptr_t>(window);
    r.message = message;
    r.wParam = 3;
    r.lParam = static_cast<uint64_t>(lParam);
    return instance::EncodeRequest(r);
  };
  instance::Request find;
  find.anyClass = find.anyTitle = false;
  find.className = find.title = u"Lumora";
  Exchange first = exchange(instance::EncodeRequest(find));
  ASSERT_EQ(first.replies.size(), 2u);
  uint64_t run = first.replies[0].process;
  EXPECT_EQ(first.replies[1].value, reinterpret_cast<uintptr_t>(main));

  std::vector<uint8_t> junk = instance::EncodeRequest(find);
  junk[0] ^= 1;
  enum Outcome { kRefused, kRefusedAfterAccepting, kResult };
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
    Outcome outcome;
    uint64_t value;
  };
  const Row rows[] = {
      {"bad magic", junk, kRefused, 0},
      {"oversized", std::vector<uint8_t>(instance::kMaxRecord + 100, 1), kRefused, 0},
      {"one byte", {1}, kRefused, 0},
      {"an empty record", {}, kRefused, 0},
      {"another run's window", request(instance::Ask::kSend, run + 1, main, WM_COMMAND), kRefused, 0},
      {"a pointer", request(instance::Ask::kSend, run, main, WM_SETTEXT, 0x1000), kRefused, 0},
      {"a child window", request(instance::Ask::kSend, run, child, WM_COMMAND), kRefusedAfterAccepting, 0},
      {"no window", request(instance::Ask::kParent, run, nullptr), kRefusedAfterAccepting, 0},
      {"the taskbar", request(instance::Ask::kSetForeground, run, FindWindowW(u"HHTaskBar", u"")),
       kRefusedAfterAccepting, 0},
      {"a command", request(instance::Ask::kSend, run, main, WM_COMMAND), kResult, 1003},
      {"the foreground", request(instance::Ask::kForeground, 0, nullptr), kResult, 0},
      {"its parent", request(instance::Ask::kParent, run, main), kResult, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Exchange e = exchange(r.bytes);
    std::vector<instance::Answer> want;
    if (r.outcome != kRefused) want.push_back(instance::Answer::kAccepted);
    want.push_back(r.outcome == kResult ? instance::Answer::kResult : instance::Answer::kRefused);
    std::vector<instance::Answer> got;
    for (const instance::Reply& reply : e.replies) got.push_back(reply.answer);
    EXPECT_EQ(got, want);
    EXPECT_TRUE(e.closed);
    if (r.outcome == kResult && !e.replies.empty()) {
      EXPECT_EQ(e.replies.back().value, r.value);
    }
  }

  // A connection that never asks is closed once the answer time has passed.
  Exchange idle = exchange({}, false);
  EXPECT_TRUE(idle.replies.empty());
  EXPECT_TRUE(idle.closed);
}

TEST_F(InstanceTest, TheFolderIsOursAndClosedToOthers) {
  std::string root = runtime_ + "/root";
  ASSERT_TRUE(fs::create_directory(root));
  std::string uid = std::to_string(geteuid());
  std::string run = root + "/run", fallback = root + "/lumora-" + uid;
  ASSERT_TRUE(fs::create_directory(run));
  auto folder = [](const std::string& path, mode_t mode) {
    return [path, mode] {
      mkdir(path.c_str(), mode);
      chmod(path.c_str(), mode);
    };
  };
  struct Row {
    const char* name;
    std::optional<std::string> runtime;  // XDG_RUNTIME_DIR
    std::function<void()> before;
    std::string expected;  // empty: refused
  };
  std::vector<Row> rows = {
      {"made when missing", run, [] {}, run + "/lumora"},
      {"ours and private", run, folder(run + "/lumora", 0700), run + "/lumora"},
      {"open to the group", run, folder(run + "/lumora", 0750), ""},
      {"open to everyone", run, folder(run + "/lumora", 0705), ""},
      {"writable by everyone", run, folder(run + "/lumora", 0777), ""},
      {"a link to a private folder", run,
       [&] {
         mkdir((root + "/elsewhere").c_str(), 0700);
         EXPECT_EQ(symlink((root + "/elsewhere").c_str(), (run + "/lumora").c_str()), 0);
       },
       ""},
      {"a file", run, [&] { close(creat((run + "/lumora").c_str(), 0600)); }, ""},
      {"no runtime folder", std::nullopt, [] {}, fallback},
      {"an empty runtime folder", "", [] {}, fallback},
      {"a relative runtime folder", "run", [] {}, fallback},
      {"the fallback open to others", std::nullopt, folder(fallback, 0755), ""},
      {"a runtime folder that is not there", root + "/missing", [] {}, ""},
  };
  if (geteuid() == 0) {
    rows.push_back({"someone else's", run,
                    [&] {
                      folder(run + "/lumora", 0700)();
                      EXPECT_EQ(chown((run + "/lumora").c_str(), 65534, 65534), 0);
                    },
                    ""});
  }
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    for (const std::string& p : {run + "/lumora", fallback, root + "/elsewhere"}) fs::remove_all(p);
    r.before();
    std::string got = PrepareInstanceFolder(r.runtime ? r.runtime->c_str() : nullptr, root);
    EXPECT_EQ(got, r.expected);
    if (!got.empty()) {
      struct stat st {};
      ASSERT_EQ(lstat(got.c_str(), &st), 0);
      EXPECT_TRUE(S_ISDIR(st.st_mode));
      EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
  }
  EXPECT_FALSE(StartInstanceLayerIn(""));
  EXPECT_EQ(FindWindowW(u"Lumora", u"Lumora"), nullptr);
}

// The headless backend's wake: from another thread it ends a wait at once.
TEST_F(InstanceTest, WakeEndsAHeadlessWait) {
  const Backend& b = HeadlessBackend();
  ASSERT_NE(b.wake, nullptr);
  std::thread waker([&b] { b.wake(); });
  EXPECT_TRUE(TestWaitForWake(-1));
  waker.join();
  EXPECT_FALSE(TestWaitForWake(0));
  TestTap(1, 1);
  b.wake();
  InputEvent e;
  EXPECT_EQ(b.waitInput(&e, -1), InputWait::kTimeout);
  EXPECT_EQ(b.waitInput(&e, -1), InputWait::kEvent);
  EXPECT_EQ(b.waitInput(&e, -1), InputWait::kEvent);
  EXPECT_EQ(b.waitInput(&e, -1), InputWait::kEnded);
}

}  // namespace
