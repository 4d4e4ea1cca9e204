// A private session bus and dunst for tests: start-up, the notifications on the screen, picking actions.
#include "tests/support/notification_server.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "tests/support/poll.h"
#include "tests/support/x_session.h"

namespace test_support {

using namespace std::chrono_literals;

namespace {

const char* const kPrograms[] = {"/usr/bin/dbus-daemon", "/usr/bin/dbus-send", "/usr/bin/dunst",
                                 "/usr/bin/dunstctl"};

// Our own bus configuration: the socket in the test's folder, and no service files, so that nothing
// on the machine is started on demand in the place of the dunst under test.
std::string BusConfig(const std::string& folder) {
  return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n  <type>session</type>\n  <listen>unix:dir=" +
         folder +
         "</listen>\n  <auth>EXTERNAL</auth>\n"
         "  <policy context=\"default\">\n    <allow send_destination=\"*\"/>\n    <allow "
         "receive_sender=\"*\"/>\n    <allow own=\"*\"/>\n"
         "  </policy>\n</busconfig>\n";
}

// Nothing times out by itself, so a slow test never misses a notification; scripts record what dunst
// displays and answer its context menu.
std::string Dunstrc(const std::string& folder) {
  return "[global]\n    dmenu = " + folder +
         "/pick.sh\n"
         "[urgency_low]\n    timeout = 0\n[urgency_normal]\n    timeout = 0\n[urgency_critical]\n    timeout "
         "= 0\n"
         "[record]\n    script = " +
         folder + "/shown.sh\n";
}

// Run by dunst for every notification it displays, with the notification in its environment.
std::string ShownScript(const std::string& folder) {
  return "#!/bin/sh\nflat() { printf '%s' \"$1\" | tr '\\t\\n' '  '; }\n"
         "printf '%s\\t%s\\t%s\\n' \"$DUNST_ID\" \"$(flat \"$DUNST_SUMMARY\")\" \"$(flat \"$DUNST_BODY\")\" "
         ">> '" +
         folder + "/shown.log'\n";
}

// dunst's menu gives one line per action, "#Label (summary) [id,key]": the newest notification's line
// with the label the test asked for.
std::string PickScript(const std::string& folder) {
  return "#!/bin/sh\ngrep -F \"#$(cat '" + folder + "/want') (\" | sort -t '[' -k 2 -n -r | head -n 1\n";
}

}  // namespace

NotificationServer::~NotificationServer() { Stop(); }

std::string NotificationServer::Unavailable() {
  for (const char* program : kPrograms) {
    if (access(program, X_OK) != 0) {
      return std::string(program) + " is missing (scripts/setup test installs dunst and dbus): not tested";
    }
  }
  return {};
}

bool NotificationServer::Start(const std::string& display) {
  display_ = display;
  const std::string folder = folder_.path();
  if (!WriteFile(folder_ / "bus.conf", BusConfig(folder)) ||
      !WriteFile(folder_ / "dunstrc", Dunstrc(folder)) ||
      !WriteFile(folder_ / "shown.sh", ShownScript(folder)) ||
      !WriteFile(folder_ / "pick.sh", PickScript(folder)) || !WriteFile(folder_ / "shown.log", "") ||
      chmod((folder_ / "shown.sh").c_str(), 0700) != 0 || chmod((folder_ / "pick.sh").c_str(), 0700) != 0) {
    error_ = "cannot write the configuration in " + folder;
    return false;
  }
  return StartBus() && StartDunst(display);
}

bool NotificationServer::StartBus() {
  if (!bus_.Start("/usr/bin/dbus-daemon",
                  {"--nofork", "--print-address=1", "--config-file=" + (folder_ / "bus.conf")})) {
    error_ = "dbus-daemon: " + bus_.LastError();
    return false;
  }
  auto line = bus_.ReadLine(10s);
  if (!line || line->empty()) {
    error_ = "dbus-daemon printed no address";
    return false;
  }
  address_ = *line;
  return true;
}

bool NotificationServer::StartDunst(const std::string& display) {
  if (!dunst_.Start("/usr/bin/dunst", {"-config", folder_ / "dunstrc"}, Environment())) {
    error_ = "dunst: " + dunst_.LastError();
    return false;
  }
  const bool owned = PollUntil(
      [&] {
        if (!dunst_.Running()) return true;
        return RunCommand("/usr/bin/dbus-send",
                          {"--bus=" + address_, "--print-reply", "--dest=org.freedesktop.DBus",
                           "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                           "string:org.freedesktop.Notifications"})
                   .output.find("boolean true") != std::string::npos;
      },
      10s);
  if (!owned || !dunst_.Running()) {
    error_ = "dunst did not take the notification service on display " + display;
    return false;
  }
  return true;
}

void NotificationServer::Stop() {
  for (ChildProcess* child : {&dunst_, &bus_}) {
    if (child->Running()) child->Signal(SIGTERM);
    child->Wait(5s);
  }
}

ChildEnvironment NotificationServer::Environment(
    std::vector<std::pair<std::string, std::string>> extra) const {
  ChildEnvironment environment;
  environment.set = {{"DISPLAY", display_}, {"DBUS_SESSION_BUS_ADDRESS", address_}};
  environment.set.insert(environment.set.end(), extra.begin(), extra.end());
  return environment;
}

std::vector<int> NotificationServer::HistoryIds() const {
  const CommandResult history =
      RunCommand("/usr/bin/dbus-send",
                 {"--bus=" + address_, "--print-reply", "--dest=org.freedesktop.Notifications",
                  "/org/freedesktop/Notifications", "org.dunstproject.cmd0.NotificationListHistory"});
  // Each notification is a dictionary: `string "id"` and on the next line `variant int32 N`.
  static const std::regex kId(R"(string "id"\s+variant\s+int32 (\d+))");
  std::vector<int> ids;
  for (std::sregex_iterator it(history.output.begin(), history.output.end(), kId), end; it != end; ++it) {
    ids.push_back(std::stoi((*it)[1].str()));
  }
  return ids;
}

std::vector<ShownNotification> NotificationServer::Shown() const {
  // Closed notifications go to dunst's history; what it displayed and did not close is on the screen.
  const std::vector<int> closed = HistoryIds();
  std::vector<ShownNotification> shown;
  std::istringstream lines(ReadFile(folder_ / "shown.log"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    ShownNotification n;
    std::string id;
    if (!std::getline(fields, id, '\t') || !std::getline(fields, n.summary, '\t')) continue;
    std::getline(fields, n.body);
    n.id = std::atoi(id.c_str());
    if (std::find(closed.begin(), closed.end(), n.id) == closed.end()) shown.push_back(n);
  }
  return shown;
}

std::optional<ShownNotification> NotificationServer::Find(const std::string& summary) const {
  const auto shown = Shown();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
    if (it->summary == summary) return *it;
  }
  return std::nullopt;
}

bool NotificationServer::InvokeAction(const std::string& label) {
  if (!WriteFile(folder_ / "want", label)) return false;
  return RunCommand("/usr/bin/dunstctl", {"context"}, Environment()).exitCode == 0;
}

}  // namespace test_support
