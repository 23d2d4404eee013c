// A private X display for the desktop tests: Xvfb on a display number it
// picks itself, other programs run against it, and what the tests ask of
// the X server directly.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Xvfb for the life of the object; DISPLAY names it meanwhile.
class VirtualDisplay {
 public:
  VirtualDisplay() = default;
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;
  ~VirtualDisplay();
  // False, with the reason, when Xvfb does not start.
  bool Start(std::string* why);

 private:
  pid_t pid_ = -1;
};

// Whether a program is on PATH.
bool Installed(const std::string& program);

struct Ran {
  int code = -1;  // -1: killed, or never started
  std::string out;
};
// Runs a program to its end, its standard output kept when asked (else
// thrown away, so that a child it leaves behind cannot hold it open).
// Killed after limitSeconds, which only guards against a hang.
Ran RunProgram(const std::vector<std::string>& argv, bool keepOutput, int limitSeconds = 30);
pid_t StartProgram(const std::vector<std::string>& argv);
// Its exit code, or -1 when it had to be killed.
int FinishProgram(pid_t pid, int limitSeconds);

// The X window of the visible window whose title matches the pattern, as
// xdotool names it, once there is one (empty when none came in 30 s).
std::string FindWindow(const std::string& title);
struct Geometry {
  int x = -1, y = -1, width = -1, height = -1;
};
Geometry GeometryOf(const std::string& window);

// Asks a top-level window to close as a window manager does (WM_DELETE_WINDOW).
bool AskToClose(unsigned long window);
// The whole screen, or a part of it, as a PNG.
bool SaveScreenPng(const std::string& path, std::string* why);
bool SaveScreenPng(const std::string& path, const Geometry& part, std::string* why);
// The colour at a point of the screen, 0xRRGGBB, or -1.
long ScreenPixel(int x, int y);

// Takes the CLIPBOARD selection and never answers a request for it.
class SilentOwner {
 public:
  SilentOwner();
  ~SilentOwner();
  bool Owns() const { return owns_; }

 private:
  void* display_ = nullptr;
  bool owns_ = false;
};
