// The headless backend: frames kept in memory, input from a scenario or a
// test, a clock that moves only with the input so runs repeat exactly.
#include "platform/backend/headless.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>

#include "platform/backend/backend.h"
#include "platform/backend/testing.h"
#include "platform/screen.h"
#include "platform/testing.h"
#include "platform/window/core.h"
#include "platform/window/utf8.h"

namespace {

constexpr uint32_t kEventTicks = 20;
constexpr uint32_t kCommandTicks = 1000;
constexpr int kMaxIdleCalls = 100000;

struct Run {
  Scenario scenario;
  size_t next = 0;
  size_t boxesSeen = 0;
  bool failed = false;
};

struct Headless {
  std::deque<InputEvent> pending;
  std::unique_ptr<Run> run;
  std::vector<std::string> errors;
  std::function<bool()> idle;
  int idleCalls = 0;
  bool idleEnded = false;
  uint32_t ticks = 0;
  std::vector<uint32_t> frame;
  uint64_t presents = 0;
  std::string exitShot;
  bool exitShotTaken = false;
  bool focus = true;
  int raises = 0;
};

// Wakes come from any thread.
struct Waker {
  std::mutex mutex;
  std::condition_variable changed;
  bool woken = false;
};

Waker& TheWaker() {
  static Waker* w = new Waker;
  return *w;
}

bool TakeWake() {
  Waker& w = TheWaker();
  std::lock_guard<std::mutex> lock(w.mutex);
  bool was = w.woken;
  w.woken = false;
  return was;
}

Headless& TheHeadless() {
  static Headless* h = new Headless;
  return *h;
}

void Fail(const ScenarioCommand& c, const std::string& why) {
  Headless& h = TheHeadless();
  std::string message = h.run->scenario.file + ":" + std::to_string(c.line) + ": " + why;
  std::fprintf(stderr, "%s\n", message.c_str());
  h.errors.push_back(message);
  h.run->failed = true;
}

void Push(InputEvent::Kind kind, int x, int y, UINT key = 0, WCHAR unit = 0) {
  TheHeadless().pending.push_back(InputEvent{kind, x, y, key, unit});
}

void PushKey(UINT key, const std::vector<UINT>& modifiers) {
  for (UINT m : modifiers) Push(InputEvent::kKeyDown, 0, 0, m);
  Push(InputEvent::kKeyDown, 0, 0, key);
  Push(InputEvent::kKeyUp, 0, 0, key);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) Push(InputEvent::kKeyUp, 0, 0, *it);
}

bool WindowShown(const ScenarioCommand& c) {
  for (const auto& [n, w] : win::TheCore().windows) {
    if (w->destroying || !win::Shown(*w)) continue;
    bool cls = w->cls->name == c.className, title = w->text == c.text;
    if (c.either ? (cls || title) : ((c.anyClass || cls) && (c.anyTitle || title))) return true;
  }
  return false;
}

std::string Resolve(const std::string& folder, const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_absolute() || folder.empty()) return path;
  return (std::filesystem::path(folder) / p).string();
}

// One command; its input goes to the pending queue.
void Execute(const ScenarioCommand& c) {
  Headless& h = TheHeadless();
  Run& run = *h.run;
  h.ticks += kCommandTicks;
  switch (c.kind) {
    case ScenarioCommand::kTap:
      Push(InputEvent::kPress, c.x, c.y);
      Push(InputEvent::kRelease, c.x, c.y);
      break;
    case ScenarioCommand::kPress: Push(InputEvent::kPress, c.x, c.y); break;
    case ScenarioCommand::kMove: Push(InputEvent::kMove, c.x, c.y); break;
    case ScenarioCommand::kRelease: Push(InputEvent::kRelease, c.x, c.y); break;
    case ScenarioCommand::kKey: PushKey(c.key, c.modifiers); break;
    case ScenarioCommand::kChar:
      for (char16_t u : c.text) Push(InputEvent::kChar, 0, 0, 0, u);
      break;
    case ScenarioCommand::kCommand: Push(InputEvent::kCommand, 0, 0, c.key); break;
    case ScenarioCommand::kIdle: break;
    case ScenarioCommand::kScreenshot: {
      std::string error;
      if (!TestSaveScreen(Resolve(run.scenario.folder, c.path), &error)) Fail(c, error);
      break;
    }
    case ScenarioCommand::kExpectWindow:
      if (!WindowShown(c)) {
        std::string what = c.either ? Utf16ToUtf8(c.text) : Utf16ToUtf8(c.className) + "|" + Utf16ToUtf8(c.text);
        Fail(c, "no window " + what + " is shown");
      }
      break;
    case ScenarioCommand::kExpectMessageBox: {
      const std::vector<MessageBoxRecord>& boxes = TestMessageBoxes();
      run.boxesSeen = std::min(run.boxesSeen, boxes.size());
      size_t i = run.boxesSeen;
      while (i < boxes.size() && boxes[i].text != c.text) ++i;
      if (i == boxes.size()) Fail(c, "no message box \"" + Utf16ToUtf8(c.text) + "\" was shown");
      else run.boxesSeen = i + 1;
      break;
    }
    case ScenarioCommand::kAnswer: TestQueueMessageBoxAnswer(static_cast<int>(c.key)); break;
  }
}

void TakeExitScreenshot() {
  Headless& h = TheHeadless();
  if (h.exitShot.empty() || h.exitShotTaken) return;
  h.exitShotTaken = true;
  std::string error;
  if (!TestSaveScreen(h.exitShot, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    h.errors.push_back(error);
  }
}

bool Pop(InputEvent* event) {
  Headless& h = TheHeadless();
  if (h.pending.empty()) return false;
  *event = h.pending.front();
  h.pending.pop_front();
  h.ticks += kEventTicks;
  return true;
}

InputWait Wait(InputEvent* event, int64_t timeoutMs) {
  Headless& h = TheHeadless();
  if (TakeWake()) return InputWait::kTimeout;
  if (Pop(event)) return InputWait::kEvent;
  if (timeoutMs == 0) return InputWait::kTimeout;
  while (h.run != nullptr && !h.run->failed && h.run->next < h.run->scenario.commands.size()) {
    Execute(h.run->scenario.commands[h.run->next++]);
    if (Pop(event)) return InputWait::kEvent;
  }
  if (h.idle && !h.idleEnded) {
    if (++h.idleCalls <= kMaxIdleCalls && h.idle()) return Pop(event) ? InputWait::kEvent : InputWait::kTimeout;
    h.idleEnded = true;
    if (Pop(event)) return InputWait::kEvent;
  }
  TakeExitScreenshot();
  return InputWait::kEnded;
}

void Present() {
  Headless& h = TheHeadless();
  h.frame.assign(ScreenPixels(), ScreenPixels() + static_cast<size_t>(ScreenWidth()) * ScreenHeight());
  ++h.presents;
  // Start-up benchmarks time a process up to its first frame.
  if (h.presents == 1 && std::getenv("LUMORA_EXIT_AT_FIRST_PRESENT") != nullptr) std::_Exit(0);
}

uint32_t Ticks() { return TheHeadless().ticks; }
int MinuteOfDay() { return 12 * 60; }
bool Open(std::string*) { return true; }
void Close() {}
bool HasFocus() { return TheHeadless().focus; }

void Raise() {
  Headless& h = TheHeadless();
  h.focus = true;
  ++h.raises;
}

void Wake() {
  Waker& w = TheWaker();
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.woken = true;
  }
  w.changed.notify_all();
}

}  // namespace

const Backend& HeadlessBackend() {
  static const Backend backend{"headless", Open, Close, Present, Wait, Wake, nullptr, nullptr,
                               HasFocus, Raise, Ticks, MinuteOfDay};
  return backend;
}

void HeadlessUseScenario(Scenario scenario) {
  Headless& h = TheHeadless();
  h.run = std::make_unique<Run>();
  h.run->scenario = std::move(scenario);
  h.run->boxesSeen = TestMessageBoxes().size();
}

void HeadlessScreenshotAtExit(const std::string& path) {
  TheHeadless().exitShot = path;
  TheHeadless().exitShotTaken = false;
}

bool HeadlessFinish() {
  Headless& h = TheHeadless();
  if (!h.exitShotTaken) {
    // A program that never waited for input has not been painted yet.
    std::vector<HWND> tops = win::TheCore().topLevels;
    for (HWND t : tops) UpdateWindow(t);
  }
  TakeExitScreenshot();
  if (h.run != nullptr && !h.run->failed && h.run->next < h.run->scenario.commands.size()) {
    const ScenarioCommand& c = h.run->scenario.commands[h.run->next];
    Fail(c, "the program ended before this command");
  }
  return h.errors.empty();
}

void TestSetIdleCallback(std::function<bool()> callback) {
  Headless& h = TheHeadless();
  h.idle = std::move(callback);
  h.idleCalls = 0;
  h.idleEnded = false;
}

void TestInjectInput(const InputEvent& event) { TheHeadless().pending.push_back(event); }

void TestTap(int x, int y) {
  Push(InputEvent::kPress, x, y);
  Push(InputEvent::kRelease, x, y);
}

bool TestKey(const std::string& name) {
  UINT key = 0;
  std::vector<UINT> modifiers;
  if (!ParseKeyName(name, &key, &modifiers)) return false;
  PushKey(key, modifiers);
  return true;
}

void TestType(const std::u16string& text) {
  for (char16_t u : text) Push(InputEvent::kChar, 0, 0, 0, u);
}

void TestCommand(UINT id) { Push(InputEvent::kCommand, 0, 0, id); }

bool TestUseScenario(const std::string& text, const std::string& file, std::vector<std::string>* errors) {
  Scenario s;
  if (!ParseScenario(text, file, &s, errors)) return false;
  HeadlessUseScenario(std::move(s));
  return true;
}

const std::vector<std::string>& TestScenarioErrors() { return TheHeadless().errors; }
const std::vector<uint32_t>& TestPresentedFrame() { return TheHeadless().frame; }
uint64_t TestPresentCount() { return TheHeadless().presents; }

void TestSetHeadlessFocus(bool focus) { TheHeadless().focus = focus; }
int TestHeadlessRaises() { return TheHeadless().raises; }

bool TestWaitForWake(int64_t timeoutMs) {
  Waker& w = TheWaker();
  std::unique_lock<std::mutex> lock(w.mutex);
  auto woken = [&w] { return w.woken; };
  if (timeoutMs < 0) w.changed.wait(lock, woken);
  else w.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), woken);
  bool was = w.woken;
  w.woken = false;
  return was;
}

void TestResetHeadless() {
  TheHeadless() = Headless{};
  TakeWake();
}
