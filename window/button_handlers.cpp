// Button actions that wait for the relay command, and the settings dialog.
#include "window/button_actions.h"

// Switches relay 1 on a worker thread and shows the hovered look again; comes with the relay command.
void Relay1Released() {}
// Switches relay 2 on a worker thread and shows the hovered look again; comes with the relay command.
void Relay2Released() {}
// Runs the settings dialog, then repaints and restarts timer 0; comes with the settings dialog.
void SettingsReleased() {}
