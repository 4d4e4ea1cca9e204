// The bitmap object behind HBITMAP: an immutable image in the surface's pixel format.
#pragma once

#include <QImage>

#include "platform/gui/drawing.h"

class Bitmap {
 public:
  explicit Bitmap(QImage img) : image(std::move(img)) {}
  QImage image;  // Format_RGB32
};

// Largest bitmap the program accepts from a file: keeps a hostile file from exhausting memory.
constexpr int kMaxBitmapSide = 8192;
