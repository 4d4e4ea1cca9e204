// The banner over the bottom of the video area: a short line the window shows for a while (what became
// of a door-open press), drawn over the picture or over the background alike.
#pragma once

#include <string>

#include "platform/gui/drawing.h"

// Any thread. The banner drawn from now on; "" for none. True when that changes what is drawn.
bool SetVideoBanner(const std::string& text, COLORREF colour);
// Draws the banner, if there is one, into the bottom of the video area at (column, row), width x height.
// The caller holds a device context on the window.
void DrawVideoBanner(HDC hdc, int column, int row, int width, int height);
