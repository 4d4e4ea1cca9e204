// A tiny 5x7 bitmap font drawn into RGB buffers.
#pragma once

#include <cstdint>
#include <string_view>

namespace doorsim {

struct RgbCanvas {
  uint8_t* pixels;  // width * height * 3 bytes, rows top-down
  int width;
  int height;

  void Fill(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b);
};

// Width in pixels of `text` at `scale` (each glyph cell is 6x8 units).
int TextWidth(std::string_view text, int scale);
// Draws `text` with its top-left corner at (x, y); clipped to the canvas.
void DrawText(RgbCanvas& canvas, int x, int y, std::string_view text, int scale, uint8_t r, uint8_t g,
              uint8_t b);

}  // namespace doorsim
