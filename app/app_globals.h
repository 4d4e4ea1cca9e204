// Process-wide handles of the running copy: its module, its main window, its registered message.
#pragma once

#include "platform/resources.h"
#include "platform/types.h"

extern HINSTANCE g_hInstance;
extern HWND g_hwndMain;
extern UINT MESSAGE;  // the private message registered under the program's name

// Start-up: numbers the copy, creates and paints the window, adds the tray icon, runs the message loop.
int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, const char* lpCmdLine, int nCmdShow);
// Reads the settings, registers the window class, creates the main window and its timer 0.
BOOL InitApp();

// The tray icon: added once at start-up, removed at shutdown.
BOOL AddNotifyIcon();
BOOL DeleteNotifyIcon();
// Shutdown on WM_CLOSE: stops the timer and the video, hides the window, removes the icon,
// frees the skin and saves the window's place and size.
void MyClose();
