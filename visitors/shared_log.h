// The program's one visitor log, opened at start off the window thread and shared by the recorder and the
// Visitors window; empty while the log is off (disabled, or the database could not be opened).
#pragma once

#include <memory>

#include "visitors/visitor_log.h"

namespace visitors {

void SetSharedLog(std::shared_ptr<VisitorLog> log);
// Any thread. The log's calls touch the disk: keep long ones (pruning, deleting all) off the window thread.
std::shared_ptr<VisitorLog> SharedLog();

}  // namespace visitors
