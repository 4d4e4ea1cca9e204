// Ownership and stacking requests to the X server for windows the toolkit made.
#pragma once

class QWidget;

// Names owner as the window dialog belongs to (WM_TRANSIENT_FOR), or none when owner is null; a window
// manager keeps a dialog above the window it belongs to. A mapped dialog is told at once, an unmapped one
// as it is mapped.
void SetTransientFor(QWidget* dialog, QWidget* owner);
// Puts window right below sibling in the stacking order; false off X11, where nothing was asked.
bool StackBelow(QWidget* window, QWidget* sibling);
// Whether a window manager runs on the display (it published its check window, and that window is alive).
bool WindowManagerRuns();
