// Start-up of one copy: WinMain numbers the copy, creates and paints the window, adds the tray icon
// and runs the message loop; InitApp reads the settings and creates the main window.
#pragma once

#include "platform/core/resources.h"
#include "platform/core/types.h"

// The command line WinMain gets when the copy is to open its Visitors window once it runs.
constexpr const char* kVisitorsCommandLine = "--visitors";

int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, const char* lpCmdLine, int nCmdShow);
// Reads the settings, registers the window class, creates the main window and its timer 0.
BOOL InitApp();
