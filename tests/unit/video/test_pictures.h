// JPEG test pictures and picture comparisons shared by the display tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FIBITMAP;

namespace video_test {

// A camera-like picture: gradients, a disc, a bar, a checked strip and light noise (24-bit, owned by
// the caller).
FIBITMAP* MakeScene(int width, int height, unsigned seed = 1);
// Four flat quadrants: red top left, green top right, blue bottom left, white bottom right.
FIBITMAP* MakeQuadrants(int width, int height);
bool SaveJpeg(FIBITMAP* picture, const std::string& path, int quality = 85);

// Pixels 0x00RRGGBB, top row first.
std::vector<std::uint32_t> TopDownPixels(FIBITMAP* picture);
double Psnr(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);
int MaxChannelDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

}  // namespace video_test
