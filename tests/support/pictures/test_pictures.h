// Test pictures and picture comparisons, shared by the display tests and the display benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FIBITMAP;

namespace test_pictures {

// A camera-like scene: gradients, a disc, a bar, a checked strip and light noise; RGB, 3 bytes a pixel,
// top row first. The same seed gives the same picture.
std::vector<std::uint8_t> SceneRgb(int width, int height, unsigned seed = 1);
// The scene as a 24-bit FreeImage picture, owned by the caller.
FIBITMAP* MakeScene(int width, int height, unsigned seed = 1);
// Four flat quadrants: red top left, green top right, blue bottom left, white bottom right.
FIBITMAP* MakeQuadrants(int width, int height);
bool SaveJpeg(FIBITMAP* picture, const std::string& path, int quality = 85);

// Pixels 0x00RRGGBB, top row first.
std::vector<std::uint32_t> TopDownPixels(FIBITMAP* picture);
// Peak signal-to-noise ratio over the three channels, in dB: 99 for equal pictures, 0 when the sizes differ.
double Psnr(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);
// The largest difference of one channel of one pixel; 256 when the sizes differ.
int MaxChannelDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

}  // namespace test_pictures
