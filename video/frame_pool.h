// The frames the picture display draws into, reused once nothing else holds them.
#pragma once

#include "platform/gui/drawing.h"

struct Frame {
  HBITMAP bitmap;
  void* bits = nullptr;
  int pitch = 0;
};

// A width x height frame for the calling thread to fill: one of its earlier frames of that size that
// nobody else holds any more, or a new one; its pixels are whatever was drawn into it before. A frame
// still held elsewhere (the live picture keeps the last one shown) is never handed out again. A null
// bitmap when the size is not sane.
Frame TakeFrame(int width, int height);
