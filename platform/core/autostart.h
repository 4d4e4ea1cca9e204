// The user's XDG autostart folder: entries there start programs at log-in.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/autostart, else ~/.config/autostart; "" when neither variable gives a place.
std::string AutostartFolder();
// Writes `text` as the entry `fileName` (mode 0644), creating the folders it needs. The entry is
// replaced whole: a reader never sees half of it. False, with a diagnostic, on failure.
bool WriteAutostartEntry(const std::string& fileName, const std::string& text);
// Removes the entry; true when it is gone afterwards (also when there was none).
bool RemoveAutostartEntry(const std::string& fileName);
// One argument of a desktop entry's Exec key, quoted where the entry's rules ask for it.
std::string DesktopExecArgument(const std::string& argument);
