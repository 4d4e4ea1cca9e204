// The main window's procedure: every message of the main window goes through it.
#pragma once

#include "platform/core/messages.h"

LRESULT WindowProcMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The program's shutdown (MyClose), which WM_CLOSE runs before the default handling destroys the
// window. Start-up hands it in: the window module sits below the program's frame.
void SetShutdownProcedure(void (*shutdown)());
