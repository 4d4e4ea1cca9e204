// Desktop notifications through the session bus's notification service (org.freedesktop.Notifications).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct DesktopNotification {
  std::string summary;  // "<unit title> is ringing", "Missed call: Front door, 14:32"
  std::string body;
  std::string jpeg;  // a picture as received (JPEG bytes) to show, or empty
  std::vector<std::pair<std::string, std::string>> actions;  // key, label: {"answer", "Answer"}, ...
  bool urgent = false;  // the ringing call: critical urgency, no time-out
};

// Window thread. Shows the notification and returns a local id (never 0) at once, before the service
// answered. onAction(key) runs on the window thread when the person picks one of the actions; clicking
// the notification itself (the service's "default" action) picks the first. Nothing here waits for the
// service: without a session bus or a notification service nothing is shown and onAction never runs (one
// diagnostic for the whole run says why). The bus is DBUS_SESSION_BUS_ADDRESS, read again whenever the
// previous connection is gone; joining it is the one step done on the spot (a local socket: a bus that is
// not there fails at once).
int ShowDesktopNotification(const DesktopNotification& notification,
                            std::function<void(const std::string&)> onAction);
// Window thread. Takes the notification away and forgets its onAction; an id the service has not
// confirmed yet is closed as soon as it does. Unknown or already closed ids are ignored.
void CloseDesktopNotification(int id);
