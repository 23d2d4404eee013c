// The backends: how the device screen is shown and how input reaches the
// window system. One record of functions, chosen by name at start-up.
// Internal to the platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

struct ClipboardBridge;

// One piece of input, in device terms. Positions are screen pixels.
struct InputEvent {
  enum Kind : uint8_t {
    kPress,    // the pen (or mouse button) goes down at x, y
    kMove,     // it moves to x, y
    kRelease,  // it comes up at x, y
    kKeyDown,  // key: a virtual key; unit: the character it types, 0 for the platform's own,
               // kTypesNothing when its text comes separately as kChar
    kKeyUp,    // key
    kChar,     // unit: one UTF-16 unit typed, delivered as WM_CHAR
    kCommand,  // key: a command id, sent as WM_COMMAND to the foreground window
  };
  Kind kind = kPress;
  int x = 0;
  int y = 0;
  UINT key = 0;
  WCHAR unit = 0;
};

constexpr WCHAR kTypesNothing = 0xFFFF;

enum class InputWait {
  kEvent,    // *event holds the next piece of input
  kTimeout,  // nothing before the deadline; more may come
  kEnded,    // no more input will come: the program should wind up
};

struct Backend {
  const char* name;
  // After the screen has its size; false with a reason when the backend
  // cannot run here.
  bool (*open)(std::string* error);
  void (*close)();
  // The screen changed since the last call (ScreenPixels()).
  void (*present)();
  // Waits for input for at most timeoutMs (0: only what is already there;
  // negative: as long as it takes).
  InputWait (*waitInput)(InputEvent* event, int64_t timeoutMs);
  // Makes a waitInput in progress, or the next one, return kTimeout at once,
  // so that the loop looks at work that arrived from elsewhere (another
  // process's message). Safe to call from any thread; null: nothing waits long.
  void (*wake)();
  // The system clipboard and the browser; null keeps them in the process.
  const ClipboardBridge* clipboard;
  bool (*openUrl)(const std::string& url);
  // Whether the program's window has the user's focus, and bringing it forward.
  bool (*hasFocus)();
  void (*raise)();
  // Milliseconds since start, and the clock the taskbar shows.
  uint32_t (*ticks)();
  int (*minuteOfDay)();
};

// The backends compiled in, headless first.
std::vector<std::string> BackendNames();
// Chooses and opens one; the headless backend is in use until then.
bool UseBackend(const std::string& name, std::string* error);
const Backend& CurrentBackend();
void CloseBackend();

// The built-in backends' records.
const Backend& HeadlessBackend();
