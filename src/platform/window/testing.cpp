// The reset that tests start from.
#include "platform/window/testing.h"

#include "platform/backend/backend.h"
#include "platform/backend/testing.h"
#include "platform/screen.h"
#include "platform/window/core.h"

void TestResetWindowSystem() {
  win::EnsureStarted();
  CloseBackend();
  TestResetHeadless();
  win::ResetCore();
  win::ResetLoop();
  win::ResetSystem();
  if (ScreenWidth() != 240 || ScreenHeight() != 320) ScreenResize(240, 320);
  win::ResetShell();
  win::Expose({0, 0, ScreenWidth(), ScreenHeight()});
  TestPumpMessages();
}
