// The window's place and size as the X server has them, which the toolkit learns only later.
#pragma once

class QWidget;
struct RECT;

// Fills rect with the window's rectangle on the screen; false when not on X11 or the window has
// no native window. GUI thread only; one round trip to the server.
bool QueryServerGeometry(QWidget* widget, RECT* rect);
