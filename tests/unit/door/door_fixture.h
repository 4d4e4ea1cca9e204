// The program's window on the offscreen platform with the video reader, its painting of the relay
// commands, and a door simulator on loopback.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "tests/support/gui/gui_test_env.h"
#include "tests/support/temp_folder.h"
#include "tools/doorsim/doorsim.h"

namespace door_test {

// A loopback port on which nothing listens: connecting is refused.
int ClosedPort();

// A loopback listener whose one-place queue is full and never served: connections to it are neither
// refused nor made, as with a unit that drops the packets.
class DroppingListener {
 public:
  DroppingListener();
  ~DroppingListener();
  std::string Address() const;

 private:
  int listener_ = -1, filler_ = -1, port_ = 0;
};

// "127.0.0.1:PORT" written with zeros in front of the lower three numbers until it is 63 characters long.
std::string LongestAddress(const std::string& address);

class RelayTest : public ::testing::Test {
 public:
  static std::atomic<int> paints;  // repaints the relay commands asked for

 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  void SetFault(doorsim::FaultMode mode, int status = 404);
  // IP_addr as the settings dialog sets it.
  static void SetAddress(const std::string& address);
  // Handles the window thread's work (timer 0 included) until pred() holds or the time passes.
  template <typename Pred>
  bool WaitFor(Pred pred, int timeoutMs = 20000) {
    return test_support::PumpUntilFn(pred, timeoutMs);
  }
  // Starts the video and waits for pictures.
  void StartVideo();
  // Whether the video area shows the connecting notice.
  static bool NoticeShown();
  // Pictures completed since the test began.
  static int Pictures();

  test_support::TempFolder tmp;
  std::unique_ptr<doorsim::Server> unit;
};

}  // namespace door_test
