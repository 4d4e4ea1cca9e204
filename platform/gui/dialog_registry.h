// The open dialogs of this copy by handle, and running a template as a modal or modeless dialog.
// Window thread only.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/dialog_template.h"
#include "platform/gui/dialog.h"

class DialogWidget;

// The open dialog with this handle, or nullptr.
DialogWidget* FindOpenDialog(HWND hwnd);
// Its handle names no dialog from now on.
void ForgetDialog(HWND hwnd);
// The open dialogs, oldest first.
std::vector<HWND> OpenDialogHandles();
// Called on the window thread, after the dialog has opened and been shown, from the loop that serves
// it (a modal dialog's own loop): what the driver uses to act on a modal dialog.
void SetDialogOpenedHook(std::function<void(HWND)> hook);

// The template's dialog with the given procedure: modeless returns its handle (0 on failure), modal
// runs it and returns its result (-1 on failure). iconModule gives icon 101; resource is what the dialog
// is known by (0 for one made by the program, like a message box).
HWND OpenModelessDialog(const DialogTemplate& dialogTemplate, int resource, HINSTANCE iconModule, HWND owner,
                        DLGPROC proc, LPARAM param);
LRESULT RunModalDialog(const DialogTemplate& dialogTemplate, int resource, HINSTANCE iconModule, HWND owner,
                       DLGPROC proc, LPARAM param);
// Brings an open dialog back from the task bar and above the other windows, with the keyboard's focus.
bool RaiseDialog(HWND hwnd);
