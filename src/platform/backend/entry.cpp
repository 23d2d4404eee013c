// PlatformMain: the platform's options, the backend, then WinMain.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend/backend.h"
#include "platform/backend/desktop.h"
#include "platform/backend/headless.h"
#include "platform/entry.h"
#include "platform/instance/instance.h"
#include "platform/options.h"
#include "platform/resource.h"
#include "platform/screen.h"
#include "platform/user.h"
#include "platform/window/core.h"
#include "platform/window/utf8.h"

namespace {

void PrintHelp(const char* program) {
  std::string names;
  for (const std::string& n : BackendNames()) names += (names.empty() ? "" : ", ") + n;
  std::printf(
      "Usage: %s [platform options] [--] [program arguments]\n"
      "\n"
      "Platform options:\n"
      "  --backend NAME          how the screen is shown and input arrives: %s\n"
      "                          (default desktop when a display is there, else headless)\n"
      "  --screen WxH            the device screen's size in pixels (default 240x320)\n"
      "  --scale N               desktop window pixels per screen pixel, 1 to %d\n"
      "                          (default the largest that fits the display)\n"
      "  --os-version MAJOR.MINOR  the system version the program sees (default 5.1)\n"
      "  --registry FILE         keep the registry in FILE\n"
      "  --resources FILE        read the resources from a resource pack file instead\n"
      "                          of the pack built into the program\n"
      "  --scenario FILE         headless input and checks, one command a line\n"
      "  --screenshot FILE       save the screen as a PNG when the run ends\n"
      "  --help                  show this help\n"
      "\n"
      "Program arguments are passed to the program.\n",
      program, names.c_str(), kMaxDesktopScale);
}

// A whole number from 1 to most, digits only.
bool ParseNumber(const std::string& t, int most, int* out) {
  if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos) return false;
  *out = std::stoi(t);
  return *out >= 1 && *out <= most;
}

bool ParseSize(const std::string& s, int* width, int* height) {
  size_t x = s.find('x');
  if (x == std::string::npos) return false;
  return ParseNumber(s.substr(0, x), 8192, width) && ParseNumber(s.substr(x + 1), 8192, height);
}

bool ParseVersion(const std::string& s, int* major, int* minor) {
  size_t dot = s.find('.');
  if (dot == std::string::npos || s.size() > 9) return false;
  std::string a = s.substr(0, dot), b = s.substr(dot + 1);
  if (a.empty() || b.empty() || (a + b).find_first_not_of("0123456789") != std::string::npos) return false;
  *major = std::stoi(a);
  *minor = std::stoi(b);
  return true;
}

int Usage(const char* program, const std::string& why) {
  std::fprintf(stderr, "%s: %s (try --help)\n", program, why.c_str());
  return 2;
}

}  // namespace

int PlatformMain(int argc, char** argv, WinMainProc winMain) {
  const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "lumora";
  if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
  std::string backend, scenarioFile, screenshot;  // no backend named: chosen below
  int width = 240, height = 320;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--help" || a == "-h") {
      PrintHelp(program);
      return 0;
    }
    if (a.rfind("--", 0) != 0) break;
    static const char* const kWithValue[] = {"--backend",   "--screen",   "--scale",     "--os-version",
                                             "--registry",  "--resources", "--scenario", "--screenshot"};
    bool known = false;
    for (const char* o : kWithValue) known = known || a == o;
    if (!known) return Usage(program, "unknown option " + a);
    if (i + 1 >= argc) return Usage(program, a + " needs a value");
    std::string value = argv[++i];
    if (a == "--backend") {
      backend = value;
    } else if (a == "--screen") {
      if (!ParseSize(value, &width, &height)) return Usage(program, "--screen needs WxH, each 1 to 8192");
    } else if (a == "--scale") {
      int scale = 0;
      if (!ParseNumber(value, kMaxDesktopScale, &scale))
        return Usage(program, "--scale needs a whole number from 1 to " + std::to_string(kMaxDesktopScale));
      DesktopSetScale(scale);
    } else if (a == "--os-version") {
      int major = 0, minor = 0;
      if (!ParseVersion(value, &major, &minor)) return Usage(program, "--os-version needs MAJOR.MINOR");
      PlatformSetOsVersion(major, minor);
    } else if (a == "--registry") {
      PlatformUseRegistryFile(value);
    } else if (a == "--resources") {
      std::string error;
      if (!PlatformUseResourcePackFile(value, &error)) return Usage(program, error);
    } else if (a == "--scenario") {
      scenarioFile = value;
    } else {
      screenshot = value;
    }
  }
  std::string rest;
  for (int k = i; k < argc; ++k) rest += (rest.empty() ? "" : " ") + std::string(argv[k]);
  std::u16string commandLine;
  if (!Utf8ToUtf16(rest, &commandLine)) commandLine.assign(rest.begin(), rest.end());

  if (!scenarioFile.empty()) {
    if (!backend.empty() && backend != "headless") return Usage(program, "--scenario needs the headless backend");
    Scenario scenario;
    std::vector<std::string> errors;
    if (!LoadScenarioFile(scenarioFile, &scenario, &errors)) {
      for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
      return 2;
    }
    HeadlessUseScenario(std::move(scenario));
  }
  if (!screenshot.empty()) HeadlessScreenshotAtExit(screenshot);
  ScreenResize(width, height);
  std::string error;
  bool open = false;
  if (backend.empty() && scenarioFile.empty() && screenshot.empty()) {
    open = UseBackend("desktop", &error);
    if (!open)
      std::fprintf(stderr, "%s: %s; running headless (for a picture: %s --backend headless --scenario FILE "
                   "--screenshot out.png)\n", program, error.c_str(), program);
  }
  if (!open && !UseBackend(backend.empty() ? "headless" : backend, &error)) return Usage(program, error);
  win::EnsureStarted();
  StartInstanceLayer();  // without it the program runs as if alone

  int code = winMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOW);
  StopInstanceLayer();
  bool clean = HeadlessFinish();
  CloseBackend();
  return code != 0 || clean ? code : 1;
}
