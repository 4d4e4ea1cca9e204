// Opening the program's visitor log at start.
#pragma once

// Window thread, once the settings are read. Opens the log unless section Visitors says Enabled=0, and
// shares it (visitors/shared_log.h); a log that cannot be opened leaves it off, with a diagnostic.
void OpenVisitorLog();
