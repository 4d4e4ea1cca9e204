// The missed-call mark: the shared log's count, shown by the tray.
#include "visitor_window/missed_mark.h"

#include "platform/core/window_thread.h"
#include "platform/gui/tray.h"
#include "state/tray_record.h"
#include "visitor_window/visit_text.h"
#include "visitors/shared_log.h"

void UpdateMissedMark() {
  AssertWindowThread();
  const std::shared_ptr<visitors::VisitorLog> log = visitors::SharedLog();
  const int count = log != nullptr ? log->UnseenMissedCount() : 0;
  SetNotifyIconExtra(kTrayIconId, TrayExtra::MissedCalls, visitor_window::MissedCallsText(count), count > 0);
}
