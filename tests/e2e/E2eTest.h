// GoogleTest helpers for the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "tests/e2e/Driver.h"
#include "tests/e2e/TestRegistry.h"

namespace quillet {

namespace e2e {

// Failure messages name icons and buttons instead of dumping their bytes.
inline void PrintTo(Icon icon, std::ostream* out) { *out << ToString(icon); }
inline void PrintTo(Button button, std::ostream* out) { *out << ToString(button); }

// Starts every test without HKLM\Software\Orvo\Brannick and leaves none behind.
class BrannickTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(DeleteTree(kBrannickKey)) << "cannot clear the test key"; }
  void TearDown() override { DeleteTree(kBrannickKey); }
};

// The status window was never on the screen during the run.
inline ::testing::AssertionResult NoStatusWindowShown(const RunResult& run) {
  if (!run.statusWindow.everVisible && run.otherWindows.empty()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "a window was shown:\n" << Describe(run);
}

}  // namespace e2e

}  // namespace quillet
