// A check of BMP files before decoding: that the pixel data the header promises is all there.
#pragma once

#include <cstddef>

// Largest BMP file the program reads (a 8192 x 8192 picture of 32 bits and its header).
constexpr std::size_t kMaxBmpFileBytes = 8192u * 8192u * 4u + 4096u;

// False when the bytes are not a BMP file, or an uncompressed one whose pixel rows are cut short.
// Compressed (run-length) files cannot be sized from the header and pass when their header is whole.
bool BmpPixelDataComplete(const unsigned char* bytes, std::size_t size);
