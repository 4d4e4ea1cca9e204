// The application: platform start, the message loop, the quit message, close signals, beep, message boxes.
#pragma once

#include "platform/core/types.h"
#include "platform/gui/dialog.h"

// Starts the platform (the GUI toolkit). Call once, first, on the thread that becomes the GUI thread.
void InitPlatform(int& argc, char** argv);
bool IsGuiThread();
// Runs the message loop until PostQuitMessage; returns its code.
int RunMessageLoop();
void PostQuitMessage(int exitCode);
// SIGTERM and SIGINT become WM_CLOSE to this window (the desktop's close request on this platform).
void RouteCloseSignalsTo(HWND hwnd);
// The desktop's beep.
void Beep(DWORD frequency, DWORD milliseconds);

// MessageBoxA (platform/gui/dialog.h), under the name the program's older modules call it by.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
