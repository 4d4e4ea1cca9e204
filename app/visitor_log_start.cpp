// The visitor log at start: on unless switched off, off with a diagnostic when it cannot be opened.
#include "app/visitor_log_start.h"

#include <string>

#include "platform/core/diagnostics.h"
#include "platform/core/profile.h"
#include "state/settings.h"
#include "visitors/shared_log.h"

void OpenVisitorLog() {
  if (GetPrivateProfileInt("Visitors", "Enabled", 1, ini_file) == 0) return;
  std::string why;
  std::shared_ptr<visitors::VisitorLog> log = visitors::VisitorLog::Open(visitors::VisitorLogRoot(), &why);
  if (log == nullptr) {
    Diag(DiagLevel::Warning, "the visitor log is off: %s", why.c_str());
    return;
  }
  visitors::SetSharedLog(std::move(log));
}
