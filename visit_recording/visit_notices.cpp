// The ringing and missed-call notifications, through the desktop's notification service.
#include "visit_recording/visit_notices.h"

#include <ctime>

#include "platform/core/window_thread.h"
#include "platform/gui/desktop_notification.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "state/private_codes.h"
#include "state/program.h"

namespace {

int g_ringing = 0;  // window thread: the ringing notification shown now, or 0

std::string LocalHourMinute(visitors::TimeMs ms) {
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[8];
  std::strftime(text, sizeof text, "%H:%M", &local);
  return text;
}

}  // namespace

void ShowRingingNotice(const std::string& title, const std::string& jpeg) {
  AssertWindowThread();
  CloseRingingNotice();
  DesktopNotification notice;
  notice.summary = title + " is ringing";
  notice.jpeg = jpeg;
  notice.actions = {{"answer", "Answer"}, {"refuse", "Refuse"}};
  notice.urgent = true;
  g_ringing = ShowDesktopNotification(notice, [](const std::string& action) {
    // The copy holding the telephone presses the Accept dialog's OK or Cancel.
    if (action == "answer" || action == "refuse")
      SendMessage(HWND_BROADCAST, MESSAGE, kCodeAnswerRinging, action == "answer" ? 1 : 0);
    // Some services keep a notification whose action was picked. Not from inside its own action.
    QueueOnGuiThread(CloseRingingNotice);
  });
}

void CloseRingingNotice() {
  AssertWindowThread();
  if (g_ringing != 0) CloseDesktopNotification(g_ringing);
  g_ringing = 0;
}

void ShowMissedNotice(const std::string& title, visitors::TimeMs startMs) {
  AssertWindowThread();
  DesktopNotification notice;
  notice.summary = "Missed call: " + title + ", " + LocalHourMinute(startMs);
  notice.actions = {{"visitors", "Show visitors"}};
  ShowDesktopNotification(notice, [](const std::string&) {
    PostMessage(g_hwndMain, MESSAGE, kCodeOpenVisitors, 0);
  });
}
