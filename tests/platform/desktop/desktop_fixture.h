// Tests that need an X display: each gets an Xvfb of its own, or is skipped
// where the programs they drive are not installed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/backend/backend.h"
#include "platform/window/testing.h"
#include "xvfb.h"

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"Xvfb", "xclip", "xdotool"})
      if (!Installed(program)) GTEST_SKIP() << program << " is not installed (scripts/install-deps installs it)";
    display_ = std::make_unique<VirtualDisplay>();
    std::string why;
    ASSERT_TRUE(display_->Start(&why)) << why;
  }
  void TearDown() override { display_.reset(); }

 private:
  std::unique_ptr<VirtualDisplay> display_;
};

// The desktop backend in this process, on the test's display.
class DesktopBackendTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    TestResetWindowSystem();
    std::string error;
    ASSERT_TRUE(UseBackend("desktop", &error)) << error;
  }
  void TearDown() override {
    CloseBackend();
    TestResetWindowSystem();
    DesktopTest::TearDown();
  }
};
