// A process for the single-instance tests, which start it as a child and read
// what it prints, one line at a time.
//   serve TITLE [nofocus]  a window of class "Lumora" titled TITLE, waiting for
//                          messages from other processes; WM_CLOSE ends it
//   launch                 the program's start-up check for a running copy
//   mute | deaf            a socket that accepts and never answers, or never accepts
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/testing.h"
#include "platform/entry.h"
#include "platform/instance/instance.h"
#include "platform/user.h"

namespace {

constexpr UINT kPrivate = 0x3FF;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

bool g_modalEnded = false;

// Stands for the program's Choose Section dialog: an owned window in front,
// its owner disabled, a nested loop until command 120.
LRESULT ChooseSection(HWND main) {
  HWND popup = CreateWindowExW(0, u"Popup", u"Choose", WS_POPUP, 10, 10, 100, 100, main, nullptr, nullptr, nullptr);
  ShowWindow(popup, SW_SHOW);
  EnableWindow(main, FALSE);
  Say("modal");
  g_modalEnded = false;
  MSG m;
  while (!g_modalEnded && GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  EnableWindow(main, TRUE);
  DestroyWindow(popup);
  Say("modal done");
  return 4119;
}

LRESULT MainProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      UINT id = LOWORD(wParam);
      Say("command " + std::to_string(id));
      switch (id) {
        case 119: return ChooseSection(h);
        case 120:
          g_modalEnded = true;
          PostMessageW(nullptr, WM_NULL, 0, 0);  // the nested loop looks again
          return 1;
        case 121: return GetForegroundWindow() == h;
        case 122: return TestHeadlessRaises();
        case 123: return SendMessageW(FindWindowW(u"Lumora", u"Test"), WM_COMMAND, 5, 0);
        default: return id + 1000;
      }
    }
    case kPrivate:
    case WM_USER + 5:
      Say("got " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
      return static_cast<LRESULT>(wParam + lParam);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(h, message, wParam, lParam);
  }
}

int Serve(const std::string& title, bool focus) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = MainProc;
  wc.lpszClassName = u"Lumora";
  RegisterClassW(&wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"Popup";
  RegisterClassW(&wc);
  std::u16string name(title.begin(), title.end());
  HWND main = CreateWindowExW(0, u"Lumora", name.c_str(), WS_VISIBLE, 0, 0, 240, 300, nullptr, nullptr, nullptr,
                              nullptr);
  if (main == nullptr) return 3;
  TestSetHeadlessFocus(focus);
  TestSetIdleCallback([] { return TestWaitForWake(-1); });
  Say("ready");
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}

// What the program does at start-up when a copy of it may be running.
int Launch() {
  HWND found = FindWindowW(u"Lumora", u"Lumora");
  if (found == nullptr) {
    Say("alone");
    return 0;
  }
  HWND foreground = GetForegroundWindow(), top = foreground;
  while (top != nullptr && GetParent(top) != nullptr) top = GetParent(top);
  bool acted = false;
  if (found == foreground) {
    Say("sent " + std::to_string(SendMessageW(found, WM_COMMAND, 119, 0)));
    acted = true;
  }
  if (found != top) {
    Say(SetForegroundWindow(found) ? "raised" : "not raised");
    acted = true;
  }
  if (!acted) Say("nothing");
  return 0;
}

int Silent(bool accepting) {
  std::string path = InstanceFolder() + "/" + std::to_string(getpid()) + ".sock";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) return 3;
  Say("ready");
  std::vector<int> kept;
  for (;;) {
    if (!accepting) pause();
    else if (int c = accept(fd, nullptr, nullptr); c >= 0) kept.push_back(c);
  }
}

int HelperMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
  std::u16string line(commandLine);
  std::vector<std::string> words;
  std::string word;
  for (char16_t c : line + u" ") {
    if (c != u' ') word += static_cast<char>(c);
    else if (!word.empty()) words.push_back(std::move(word)), word.clear();
  }
  if (words.size() >= 2 && words[0] == "serve") return Serve(words[1], words.size() < 3 || words[2] != "nofocus");
  if (words.size() == 1 && words[0] == "launch") return Launch();
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "mute") == 0 || std::strcmp(argv[1], "deaf") == 0))
    return Silent(std::strcmp(argv[1], "mute") == 0);
  std::vector<char*> args{argv[0], const_cast<char*>("--backend"), const_cast<char*>("headless")};
  args.insert(args.end(), argv + 1, argv + argc);
  return PlatformMain(static_cast<int>(args.size()), args.data(), HelperMain);
}
