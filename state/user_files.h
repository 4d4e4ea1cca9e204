// The settings folder, and the user's optional files (skin, ring tone) looked for in two places.
#pragma once

#include <string>

// "Kestrova" under the first of ALLUSERSPROFILE, PROGRAMDATA, APPDATA, LOCALAPPDATA, TEMP that is
// set, else under the XDG config home. Worked out without creating anything.
std::string SettingsFolder();
// The relative `name` (a file or a folder, e.g. "Skin" or "ring.wav") as the program opens it: itself
// when it exists in the current folder, else beside the settings file when it exists there, else itself,
// so that opening it fails as it would have. A program started from the desktop's menu runs in the home
// folder, where the user's skin is not.
std::string FindUserFile(const char* name);
