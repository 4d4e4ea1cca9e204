// Desktop notifications against a real session bus and dunst on a virtual display, and without a bus.
#include "platform/gui/desktop_notification.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/gui/gui_test_env.h"
#include "tests/support/notification_server.h"
#include "tests/support/pictures/test_pictures.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace {

using test_support::PumpUntilFn;

constexpr int kDeadlineMs = 15000;

// Runs first: the process's notification connection is then made, and fails, against no bus at all.
TEST(DesktopNotificationTest, WithoutASessionBusShowReturnsAtOnce) {
  test_support::TempFolder folder;
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (folder / "no-bus")).c_str(), 1);
  test_support::EnsurePlatform();
  bool picked = false;
  const auto start = std::chrono::steady_clock::now();
  const int id = ShowDesktopNotification({"Front door is ringing", "", "", {{"answer", "Answer"}}, true},
                                         [&](const std::string&) { picked = true; });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_NE(id, 0);
  test_support::PumpEvents();
  CloseDesktopNotification(id);
  EXPECT_FALSE(picked);
}

TEST(DesktopNotificationTest, DunstShowsPicksAndCloses) {
  if (auto why = test_support::NotificationServer::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  test_support::XSession x;
  ASSERT_TRUE(x.Start(false));
  test_support::NotificationServer server;
  ASSERT_TRUE(server.Start(x.display())) << server.Error();
  setenv("DBUS_SESSION_BUS_ADDRESS", server.busAddress().c_str(), 1);
  test_support::EnsurePlatform();

  test_support::TempFolder folder;
  FIBITMAP* scene = test_pictures::MakeScene(640, 480);
  ASSERT_TRUE(test_pictures::SaveJpeg(scene, folder / "visitor.jpg"));
  FreeImage_Unload(scene);
  std::vector<std::string> picked;
  std::thread::id pickedOn;
  const int ringing = ShowDesktopNotification({"Front door is ringing",
                                               "",
                                               test_support::ReadFile(folder / "visitor.jpg"),
                                               {{"answer", "Answer"}, {"refuse", "Refuse"}},
                                               true},
                                              [&](const std::string& key) {
                                                picked.push_back(key);
                                                pickedOn = std::this_thread::get_id();
                                              });
  const int missed =
      ShowDesktopNotification({"Missed call: Back door, 14:32", "", "", {{"visitors", "Show visitors"}}},
                              [&](const std::string& key) { picked.push_back(key); });
  // Closed before the service gave it its id: closed as soon as it does.
  CloseDesktopNotification(ShowDesktopNotification({"Closed at once", "", "", {}}, nullptr));
  EXPECT_NE(ringing, 0);
  EXPECT_NE(ringing, missed);

  ASSERT_TRUE(PumpUntilFn(
      [&] { return server.Find("Front door is ringing") && server.Find("Missed call: Back door, 14:32"); },
      kDeadlineMs));
  ASSERT_TRUE(server.InvokeAction("Answer"));
  ASSERT_TRUE(PumpUntilFn([&] { return !picked.empty(); }, kDeadlineMs));
  EXPECT_EQ(picked, std::vector<std::string>{"answer"});
  EXPECT_EQ(pickedOn, std::this_thread::get_id());

  CloseDesktopNotification(missed);
  EXPECT_TRUE(PumpUntilFn([&] { return !server.Find("Missed call: Back door, 14:32"); }, kDeadlineMs));
  EXPECT_FALSE(server.Find("Closed at once"));
}

}  // namespace
