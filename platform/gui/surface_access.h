// Read access to what has been drawn on the window's surface: for checks of the painting.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/types.h"
#include "platform/gui/drawing.h"

struct SurfaceCopy {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A copy of the window's surface; empty when there is no window.
SurfaceCopy CopySurface(HWND hwnd);

// One pixel (0x00RRGGBB) of a bitmap; 0 outside it or for a null bitmap.
std::uint32_t GetBitmapPixel(const HBITMAP& bitmap, int x, int y);
