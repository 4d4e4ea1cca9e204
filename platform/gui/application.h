// The application: platform start, the message loop, the quit message, close signals, beep, message boxes.
#pragma once

#include "platform/core/types.h"

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

constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_TASKMODAL = 0x2000;
// A modal message box; also written to stderr. Returns 1 (OK).
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
