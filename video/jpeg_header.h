// What a JPEG file says about itself before it is decoded: its size, and whether it arrived whole.
#pragma once

#include <cstdio>

// The largest side of a picture we decode: a camera never sends more, and a forged header must not
// make the decoder allocate gigabytes.
constexpr int kMaxPictureSide = 8192;

struct JpegHeader {
  int width = 0;
  int height = 0;
};

// Reads the frame size from the markers before the first scan, and checks that the data ends with the
// end-of-image marker: a picture cut short would otherwise decode with a grey lower part. Leaves the
// file at its start. false when the file does not begin like a JPEG picture, has no frame size before
// its first scan, has a side of 0 or above kMaxPictureSide, or is incomplete.
bool ReadJpegHeader(FILE* file, JpegHeader* header);

// The size to ask the JPEG decoder for, so that it decodes at the smallest of its 1/2, 1/4 and 1/8
// scales that still covers width x height in both directions; 0 (full size) when no hint is possible.
int DecodeSizeHint(int sourceWidth, int sourceHeight, int width, int height);
