// The optional background picture of the video area, decoded and rescaled for a given area size.
#pragma once

#include "platform/gui/drawing.h"

// The JPEG file rescaled (bilinear) to width x height, or nullptr when it cannot be decoded.
// The last result is kept: repeated paintings of an unchanged file at the same size decode nothing.
HBITMAP LoadBackgroundPicture(const char* path, int width, int height);
