// The running copy's identity: its module, its main window, its registered message, its instance number.
#include "state/program.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hwndMain = HWND_NONE;
UINT MESSAGE = 0;

int PocSpusteni = 0;
char AppName[32] = "";
