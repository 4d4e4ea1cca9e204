// Button actions that wait for the settings dialog and the SIP telephone.
#include "window/button_actions.h"

// Runs the settings dialog, then repaints and restarts timer 0; comes with the settings dialog.
void SettingsReleased() {}
// Asks the copy that holds the SIP telephone to call the door unit; comes with the SIP calls.
void CallReleased() {}
// Asks the copy that holds the SIP telephone to end the call, then repaints; comes with the SIP calls.
void HangUpReleased() {}
