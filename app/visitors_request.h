// `kestrova --visitors`: the Visitors window of a running copy, or of a copy started for it.
#pragma once

// Whether the terminal asked for the Visitors window.
bool WantsVisitorsWindow(int argc, const char* const* argv);
// Asks the running copy with the lowest instance number to open its Visitors window; false when no copy
// answers (none runs), and this process is then to start as a copy that opens it.
bool AskRunningCopyForVisitors();
