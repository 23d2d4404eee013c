// Input for tests on the headless backend, and what it showed. The app never
// includes this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/backend/backend.h"

// Called whenever a loop waits for input and none is queued: it may look at
// the state and inject input (or post messages); returning false ends the
// input, so the run winds up as when a scenario runs out. Without one (and
// without a scenario) input ends at once.
void TestSetIdleCallback(std::function<bool()> callback);

// Queued input, delivered one piece each time a loop waits.
void TestInjectInput(const InputEvent& event);
void TestTap(int x, int y);
// A key as a scenario names it ("Ctrl+F", "VK_NEXT", "Alt+F3"); false when unknown.
bool TestKey(const std::string& name);
void TestType(const std::u16string& text);
void TestCommand(UINT id);

// A scenario from text instead of a file, run by the loops from now on.
// Parse errors come back as "file:line: message".
bool TestUseScenario(const std::string& text, const std::string& file, std::vector<std::string>* errors);
// What went wrong while one ran, "file:line: message" each.
const std::vector<std::string>& TestScenarioErrors();

// The last frame presented (0x00RRGGBB, the screen's size) and how many so far.
const std::vector<uint32_t>& TestPresentedFrame();
uint64_t TestPresentCount();

// Whether the headless window has the user's focus (at start it has); the
// backend's raise gives it the focus. How often it was raised.
void TestSetHeadlessFocus(bool focus);
int TestHeadlessRaises();

// Waits until the backend's wake is called (true; the wake is used up) or
// timeoutMs passes (false; negative: no limit). For an idle callback that
// waits for messages from other processes.
bool TestWaitForWake(int64_t timeoutMs);

// Everything back as at start: no input, no scenario, no callback, clock at
// 0, the focus, no wake pending.
void TestResetHeadless();
