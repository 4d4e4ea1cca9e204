// The main window's procedure: every message of the main window goes through it.
#pragma once

#include "platform/messages.h"

LRESULT WindowProcMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
