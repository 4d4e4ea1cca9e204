// Button actions that wait for the settings dialog.
#include "window/button_actions.h"

// Runs the settings dialog, then repaints and restarts timer 0; comes with the settings dialog.
void SettingsReleased() {}
