// The main window's class, registered before the window is created.
#pragma once

#include "platform/core/messages.h"
#include "platform/core/resources.h"
#include "state/program.h"
#include "window/window_proc.h"

// Registers the class with the program's icon (resource 101, large and small) and the procedure.
// Start-up registers WindowProcMain under kClassName; tests and benchmarks that open the program's
// window give their own procedure or name. FALSE when it cannot be registered (already is, for one).
BOOL RegisterMainWindowClass(HINSTANCE instance, WNDPROC proc = WindowProcMain,
                             const char* className = kClassName);
