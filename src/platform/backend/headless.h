// The headless backend: the screen stays in memory, input comes from a
// scenario file or from a test. Internal to the platform.
#pragma once

#include <string>
#include <vector>

#include "platform/backend/scenario.h"

// Runs the scenario as loops wait for input. Its failures are printed to
// standard error as they happen and kept.
void HeadlessUseScenario(Scenario scenario);
// Saved as a PNG when the input first runs out (or by HeadlessFinish).
void HeadlessScreenshotAtExit(const std::string& path);
// After the program's loop: the exit screenshot if it is still owed, and
// the scenario commands never reached. True when the run had no failures.
bool HeadlessFinish();
