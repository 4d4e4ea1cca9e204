// Stretching a decoded picture to the video area with the cubic B-spline filter, straight into 32-bit pixels.
#pragma once

struct FIBITMAP;

// Resamples the 24-bit (or 8-bit grey) picture `source` to width x height pixels 0x00RRGGBB, top row
// first, rows `pitch` bytes apart. The weights are those of FreeImage's B-spline rescale, so the result
// matches FreeImage_Rescale(FILTER_BSPLINE) within rounding, including that a side which keeps its size
// is copied unfiltered. false (nothing written) for another pixel format or a size that is not positive.
bool ResizeBspline(FIBITMAP* source, int width, int height, void* bits, int pitch);

// The instruction sets the resampler can use, slowest first; all give the same pixels.
enum class ResizeSimd { Plain, Sse2, Avx2 };
// The fastest of them this processor runs; ResizeBspline above uses it.
ResizeSimd FastestResizeSimd();
// ResizeBspline with at most the given instruction set.
bool ResizeBspline(FIBITMAP* source, int width, int height, void* bits, int pitch, ResizeSimd simd);
