// Test pictures and picture comparisons, shared by the display tests and the display benchmark.
#include "tests/support/pictures/test_pictures.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "skin/freeimage_init.h"

namespace test_pictures {

namespace {

void Put(FIBITMAP* picture, int x, int topDownY, int r, int g, int b) {
  RGBQUAD c{};
  c.rgbRed = static_cast<BYTE>(std::clamp(r, 0, 255));
  c.rgbGreen = static_cast<BYTE>(std::clamp(g, 0, 255));
  c.rgbBlue = static_cast<BYTE>(std::clamp(b, 0, 255));
  FreeImage_SetPixelColor(picture, x, FreeImage_GetHeight(picture) - 1 - topDownY, &c);
}

}  // namespace

std::vector<std::uint8_t> SceneRgb(int width, int height, unsigned seed) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> noise(-3, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int r = 255 * x / width, g = 255 * y / height;
      int b = 128 + static_cast<int>(100 * std::sin(x * 0.05) * std::cos(y * 0.03));
      const int dx = x - width / 3, dy = y - height / 2;
      if (dx * dx + dy * dy < (height / 5) * (height / 5)) r = 230, g = 40, b = 40;
      if (x > width * 2 / 3 && x < width * 5 / 6 && y > height / 4 && y < height * 3 / 4)
        r = 20, g = 200, b = 60;
      if (y > height * 4 / 5 && (x * 16 / width + y * 12 / height) % 2 == 0) r /= 3, g /= 3, b /= 3;
      std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = static_cast<std::uint8_t>(std::clamp(r + noise(rng), 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(g + noise(rng), 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(b + noise(rng), 0, 255));
    }
  return rgb;
}

FIBITMAP* MakeScene(int width, int height, unsigned seed) {
  EnsureFreeImage();
  FIBITMAP* picture = FreeImage_Allocate(width, height, 24);
  const std::vector<std::uint8_t> rgb = SceneRgb(width, height, seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      Put(picture, x, y, p[0], p[1], p[2]);
    }
  return picture;
}

FIBITMAP* MakeQuadrants(int width, int height) {
  EnsureFreeImage();
  FIBITMAP* picture = FreeImage_Allocate(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      if (!bottom)
        Put(picture, x, y, right ? 0 : 255, right ? 255 : 0, 0);
      else
        Put(picture, x, y, right ? 255 : 0, right ? 255 : 0, 255);
    }
  return picture;
}

bool SaveJpeg(FIBITMAP* picture, const std::string& path, int quality) {
  return picture != nullptr && FreeImage_Save(FIF_JPEG, picture, path.c_str(), quality) == TRUE;
}

std::vector<std::uint32_t> TopDownPixels(FIBITMAP* picture) {
  const unsigned w = FreeImage_GetWidth(picture), h = FreeImage_GetHeight(picture);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
  FreeImage_ConvertToRawBits(reinterpret_cast<BYTE*>(pixels.data()), picture, static_cast<int>(w * 4), 32,
                             FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

double Psnr(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  double squares = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const double d =
          static_cast<double>((a[i] >> shift) & 0xFF) - static_cast<double>((b[i] >> shift) & 0xFF);
      squares += d * d;
    }
  const double mse = squares / (static_cast<double>(a.size()) * 3);
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

int MaxChannelDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  if (a.size() != b.size()) return 256;
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                       static_cast<int>((b[i] >> shift) & 0xFF)));
  return worst;
}

}  // namespace test_pictures
