// The program's loop driven step by step: each time it waits for input the
// next step runs (and may look at the screen or inject input); after the
// last one the loop is told to quit.
#pragma once

#include <functional>
#include <vector>

#include "platform/backend/testing.h"
#include "platform/user.h"

// Returns how many steps ran.
inline size_t DriveLoop(const std::vector<std::function<void()>>& steps) {
  size_t next = 0;
  TestSetIdleCallback([&] {
    if (next < steps.size()) {
      steps[next++]();
    } else {
      PostQuitMessage(0);
    }
    return true;
  });
  MSG msg;
  for (int guard = 0; guard < 100000 && GetMessageW(&msg, nullptr, 0, 0) > 0; ++guard) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  TestSetIdleCallback(nullptr);
  return next;
}
