// The unit's title on the window: window text, tray tip and the title bar.
#pragma once

// Publishes the title bytes of one part (set again for every part, changed or not).
void PublishTitle(const char* bytes, int len);
// Blank title; window text and tray tip back to the program's name.
void RestoreProgramTitle();
