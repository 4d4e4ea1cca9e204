// The running copy's identity: its module, its main window, its registered message, its instance number.
#pragma once

#include "platform/core/resources.h"
#include "platform/core/types.h"

// The program's name: the registered message, the lock names and the first window text and tray tip.
constexpr const char* kProgramName = "Kestrova_1.39";
// The main window's class; on X11 tools find the window by it.
constexpr const char* kClassName = "KestrovaClass";

extern HINSTANCE g_hInstance;
extern HWND g_hwndMain;
extern UINT MESSAGE;  // the private message registered under the program's name

extern int PocSpusteni;   // this copy's instance number, 0 until taken
extern char AppName[32];  // this copy's lock name, e.g. "Kestrova_1.391"
