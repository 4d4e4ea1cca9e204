// The main window on the offscreen platform with its tray record, and a door simulator on loopback, for
// reader tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/temp_folder.h"
#include "tools/doorsim/doorsim.h"

namespace video_test {

class ReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Starts the simulated unit (on `port`, 0 for a free one) and points IP_addr at it. Slow enough
  // by default that a sanitized reader drawing every picture on a busy machine keeps up with it.
  void StartUnit(int port = 0, int fps = 8);
  void SetFault(doorsim::FaultMode mode);
  // Handles the window thread's work (timer 0 included) until pred() holds or the time passes.
  template <typename Pred>
  bool WaitFor(Pred pred, int timeoutMs = 20000);

  std::string WindowText() const;
  std::string Tip() const;
  std::string Title() const;
  // Pictures the reader completed since the test began.
  int Completed() const;
  bool PictureFileExists() const;

  test_support::TempFolder tmp;
  std::unique_ptr<doorsim::Server> unit;
  int completedBase = 0;
};

}  // namespace video_test

#include "tests/support/gui/gui_test_env.h"

template <typename Pred>
bool video_test::ReaderTest::WaitFor(Pred pred, int timeoutMs) {
  return test_support::PumpUntilFn(pred, timeoutMs);
}
