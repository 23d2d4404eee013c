// Xvfb and the programs the desktop tests run beside it.
#include "xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// stdout goes to `out` (or nowhere); stderr stays the test's unless quiet.
pid_t Spawn(const std::vector<std::string>& argv, int out, bool quiet, int extra = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (out >= 0) posix_spawn_file_actions_adddup2(&actions, out, 1);
  else posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (extra >= 0) posix_spawn_file_actions_adddup2(&actions, extra, 3);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (args[0] == nullptr || posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

struct DisplayCloser {
  void operator()(Display* d) const {
    if (d != nullptr) XCloseDisplay(d);
  }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

}  // namespace

VirtualDisplay::~VirtualDisplay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  FinishProgram(pid_, 10);
  unsetenv("DISPLAY");
}

bool VirtualDisplay::Start(std::string* why) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    *why = "no pipe";
    return false;
  }
  pid_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"}, -1, true,
               fds[1]);
  close(fds[1]);
  std::string number;
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
  while (pid_ > 0 && number.find('\n') == std::string::npos) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, MillisecondsLeft(deadline)) <= 0) break;
    char buffer[16];
    ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (number.find('\n') == std::string::npos) {
    *why = "Xvfb did not start";
    return false;
  }
  number.resize(number.find('\n'));
  setenv("DISPLAY", (":" + number).c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "x11", 1);
  return true;
}

bool Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::filesystem::path candidate = std::filesystem::path(folders.substr(start, end - start)) / program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

Ran RunProgram(const std::vector<std::string>& argv, bool keepOutput, int limitSeconds) {
  Ran ran;
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(limitSeconds);
  int fds[2] = {-1, -1};
  if (keepOutput && pipe2(fds, O_CLOEXEC) != 0) return ran;
  pid_t pid = Spawn(argv, fds[1], false);
  if (fds[1] >= 0) close(fds[1]);
  if (pid <= 0) {
    if (fds[0] >= 0) close(fds[0]);
    return ran;
  }
  while (fds[0] >= 0) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, MillisecondsLeft(deadline)) <= 0) break;
    char buffer[65536];
    ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    ran.out.append(buffer, static_cast<size_t>(n));
  }
  if (fds[0] >= 0) close(fds[0]);
  ran.code = FinishProgram(pid, std::max(1, MillisecondsLeft(deadline) / 1000));
  return ran;
}

pid_t StartProgram(const std::vector<std::string>& argv) { return Spawn(argv, -1, false); }

int FinishProgram(pid_t pid, int limitSeconds) {
  if (pid <= 0) return -1;
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(limitSeconds);
  for (;;) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (r < 0) return -1;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(10000);
  }
}

std::string FindWindow(const std::string& title) {
  for (int i = 0; i < 1500; ++i) {
    Ran r = RunProgram({"xdotool", "search", "--onlyvisible", "--name", title}, true);
    std::istringstream ids(r.out);
    std::string id;
    if (r.code == 0 && ids >> id) return id;
    usleep(20000);
  }
  return "";
}

Geometry GeometryOf(const std::string& window) {
  Geometry g;
  Ran r = RunProgram({"xdotool", "getwindowgeometry", "--shell", window}, true);
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    int value = std::atoi(line.c_str() + eq + 1);
    if (key == "X") g.x = value;
    if (key == "Y") g.y = value;
    if (key == "WIDTH") g.width = value;
    if (key == "HEIGHT") g.height = value;
  }
  return g;
}

bool AskToClose(unsigned long window) {
  DisplayHandle d(XOpenDisplay(nullptr));
  if (d == nullptr) return false;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(d.get(), "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d.get(), "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  bool sent = XSendEvent(d.get(), window, False, NoEventMask, &e) != 0;
  XSync(d.get(), False);
  return sent;
}

namespace {

// The root window's pixels as 0xRRGGBB rows.
bool GrabScreen(int x, int y, int* width, int* height, std::vector<uint32_t>* pixels) {
  DisplayHandle d(XOpenDisplay(nullptr));
  if (d == nullptr) return false;
  Window root = DefaultRootWindow(d.get());
  XWindowAttributes a;
  if (!XGetWindowAttributes(d.get(), root, &a)) return false;
  if (*width <= 0) *width = a.width;
  if (*height <= 0) *height = a.height;
  if (x < 0 || y < 0 || x + *width > a.width || y + *height > a.height) return false;
  XImage* image = XGetImage(d.get(), root, x, y, static_cast<unsigned>(*width), static_cast<unsigned>(*height),
                            AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  pixels->resize(static_cast<size_t>(*width) * static_cast<size_t>(*height));
  for (int row = 0; row < *height; ++row)
    for (int col = 0; col < *width; ++col)
      (*pixels)[static_cast<size_t>(row) * static_cast<size_t>(*width) + static_cast<size_t>(col)] =
          static_cast<uint32_t>(XGetPixel(image, col, row) & 0xFFFFFF);
  XDestroyImage(image);
  return true;
}

}  // namespace

long ScreenPixel(int x, int y) {
  int w = 1, h = 1;
  std::vector<uint32_t> pixels;
  return GrabScreen(x, y, &w, &h, &pixels) ? static_cast<long>(pixels[0]) : -1;
}

bool SaveScreenPng(const std::string& path, std::string* why) { return SaveScreenPng(path, Geometry{0, 0, 0, 0}, why); }

bool SaveScreenPng(const std::string& path, const Geometry& part, std::string* why) {
  int w = part.width, h = part.height;
  std::vector<uint32_t> pixels;
  if (!GrabScreen(part.x, part.y, &w, &h, &pixels)) {
    *why = "cannot read the screen";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    *why = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = info != nullptr && setjmp(png_jmpbuf(png)) == 0;
  if (ok) {
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
        row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
        row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
        row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  ok = std::fclose(f) == 0 && ok;
  if (!ok) *why = "cannot write " + path;
  return ok;
}

SilentOwner::SilentOwner() {
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return;
  display_ = d;
  Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  XSetSelectionOwner(d, clipboard, w, CurrentTime);
  owns_ = XGetSelectionOwner(d, clipboard) == w;
}

SilentOwner::~SilentOwner() {
  if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
}
