// A real notification service for tests: a private session bus and dunst on the test's X display.
//
// Use (the program under test, in-process or a child, reaches the service through the bus address):
//
//   test_support::XSession x;
//   ASSERT_TRUE(x.Start(false));
//   if (auto why = test_support::NotificationServer::Unavailable(); !why.empty()) GTEST_SKIP() << why;
//   test_support::NotificationServer server;
//   ASSERT_TRUE(server.Start(x.display())) << server.Error();
//   setenv("DBUS_SESSION_BUS_ADDRESS", server.busAddress().c_str(), 1);   // in-process, or for a child:
//   child.Start(program, {}, server.Environment());                       // DISPLAY and the bus address
//   ASSERT_TRUE(PollUntil([&] { return server.Find("Front door is ringing").has_value(); }, 10s));
//   ASSERT_TRUE(server.InvokeAction("Answer"));   // as if the person picked "Answer" in dunst's menu
//
// Every wait inside has a deadline; a server still running when the object goes away is stopped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace test_support {

struct ShownNotification {
  int id = 0;  // the service's id
  std::string summary;
  std::string body;
};

class NotificationServer {
 public:
  NotificationServer() = default;
  ~NotificationServer();
  NotificationServer(const NotificationServer&) = delete;
  NotificationServer& operator=(const NotificationServer&) = delete;

  // Why this machine cannot run the server (a program missing), or "" when it can: the only reason a
  // test may skip. `scripts/setup test` installs what is needed.
  static std::string Unavailable();

  // Starts the bus, then dunst on `display` (":N"), and waits until dunst owns the service's name.
  // False when either did not come up; Error() says why.
  bool Start(const std::string& display);
  void Stop();
  const std::string& Error() const { return error_; }

  // The bus, as DBUS_SESSION_BUS_ADDRESS wants it.
  const std::string& busAddress() const { return address_; }
  // DISPLAY and DBUS_SESSION_BUS_ADDRESS for a child, plus the given variables.
  ChildEnvironment Environment(std::vector<std::pair<std::string, std::string>> extra = {}) const;

  // The notifications on the screen now, oldest first: those dunst displayed and has not closed.
  std::vector<ShownNotification> Shown() const;
  // The newest notification on the screen with this summary.
  std::optional<ShownNotification> Find(const std::string& summary) const;
  // Picks the action labelled `label` of the newest notification that has one, through dunst's context
  // menu (its dmenu command is a script that chooses that line). The action is done asynchronously:
  // poll for its effect. False when dunst could not be asked.
  bool InvokeAction(const std::string& label);

 private:
  bool StartBus();
  bool StartDunst(const std::string& display);
  std::vector<int> HistoryIds() const;

  TempFolder folder_;
  ChildProcess bus_, dunst_;
  std::string address_, display_, error_;
};

}  // namespace test_support
