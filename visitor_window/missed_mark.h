// The tray icon's mark and tip line while missed visits are unseen.
#pragma once

// Window thread. Reads the count of unseen missed visits from the shared log and shows it: a mark on the
// tray icon and a second tip line ("2 missed calls"); nothing while the log is off or none is unseen.
void UpdateMissedMark();
