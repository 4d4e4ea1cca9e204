// Dialogs stay above the window that owns them (the main window, or the dialog a box belongs to).
// The desktop the program was written for guarantees it whatever the owner does, and the program relies on
// it. Window thread only.
#pragma once

class QWidget;
class DialogWidget;

// Before the dialog is first shown: the window manager learns its owner. Not while the owner is
// minimised, as a window manager takes a minimised window's dialogs with it and a ringing door call must
// stay in sight.
void AttachToOwner(DialogWidget* dialog);
// Raises owner and keeps the open dialogs it owns, directly or through another dialog, above it. Without
// a window manager nothing else would.
void RaiseWithOwnedDialogs(QWidget* owner);
// The owner was minimised (its dialogs are let go, so they stay on the screen) or is back (they are
// its own again).
void OwnerMinimized(QWidget* owner, bool minimized);
// The window manager minimised an open dialog (openbox offers a minimise box whatever the dialog asks
// for, and takes the dialog's owner along): the dialog is shown again above its owner, or on its own
// while the owner stays minimised, since nothing on the screen would be left to answer it.
void BringBackMinimized(DialogWidget* dialog);
