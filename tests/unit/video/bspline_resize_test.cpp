// Tests of the B-spline resampler against FreeImage's own B-spline rescale.
#include "video/bspline_resize.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "tests/support/pictures/test_pictures.h"

namespace {

using test_pictures::MakeScene;
using test_pictures::MaxChannelDifference;
using test_pictures::TopDownPixels;

std::vector<std::uint32_t> Ours(FIBITMAP* source, int width, int height,
                                ResizeSimd simd = FastestResizeSimd()) {
  // Rows wider than needed, as a surface may have them; the padding must stay untouched.
  const int pitch = width * 4 + 8;
  std::vector<std::uint32_t> raw(static_cast<std::size_t>(pitch / 4) * height, 0xABCDEF);
  if (!ResizeBspline(source, width, height, raw.data(), pitch, simd)) return {};
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = &raw[static_cast<std::size_t>(pitch / 4) * y];
    pixels.insert(pixels.end(), row, row + width);
    EXPECT_EQ(row[width], 0xABCDEFu) << "row " << y << " written past its end";
  }
  return pixels;
}

std::vector<std::uint32_t> Theirs(FIBITMAP* source, int width, int height) {
  FIBITMAP* scaled = FreeImage_Rescale(source, width, height, FILTER_BSPLINE);
  std::vector<std::uint32_t> pixels = TopDownPixels(scaled);
  FreeImage_Unload(scaled);
  return pixels;
}

TEST(BsplineResize, MatchesFreeImageRescaleWithinRounding) {
  struct Case {
    int sw, sh, w, h;
  };
  const Case cases[] = {
      {320, 240, 320, 240},  // equal size: copied
      {640, 360, 320, 240},  // shrinking by different factors across and down
      {480, 270, 320, 240}, {1920, 1080, 320, 240}, {640, 480, 960, 720},  // enlarging
      {200, 150, 333, 77},                                                 // mixed
      {64, 48, 1, 1},       {3, 2, 40, 30},                                // source narrower than the filter
      {320, 240, 320, 100}, {320, 240, 100, 240},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.sw << "x" << c.sh << " -> " << c.w << "x" << c.h);
    FIBITMAP* source = MakeScene(c.sw, c.sh, static_cast<unsigned>(c.sw + c.h));
    ASSERT_NE(source, nullptr);
    const std::vector<std::uint32_t> ours = Ours(source, c.w, c.h);
    const std::vector<std::uint32_t> theirs = Theirs(source, c.w, c.h);
    FreeImage_Unload(source);
    ASSERT_EQ(ours.size(), static_cast<std::size_t>(c.w) * c.h);
    // FreeImage rounds between its two passes; we round once.
    EXPECT_LE(MaxChannelDifference(ours, theirs), 2);
  }
}

// The wide passes cover leading blocks and leave the rest to the narrower ones, so widths that are not
// multiples of 4, 16 or 32 samples and odd tap counts are where they could part ways.
TEST(BsplineResize, EveryInstructionSetGivesTheSamePixels) {
  struct Case {
    int sw, sh, w, h;
  };
  const Case cases[] = {
      {640, 360, 320, 240}, {480, 270, 320, 240}, {1920, 1080, 320, 240}, {1280, 720, 960, 720},
      {200, 150, 333, 77},  {3, 2, 40, 30},       {37, 29, 13, 7},        {101, 7, 99, 3},
      {64, 48, 1, 1},       {1000, 40, 7, 40},    {11, 600, 11, 5},       {320, 240, 320, 240},
      {7, 5, 7, 5},         {5, 3, 5, 3},  // copies
  };
  const ResizeSimd fastest = FastestResizeSimd();
  if (fastest != ResizeSimd::Avx2)
    std::printf("this processor lacks AVX2: only the narrower passes are compared\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.sw << "x" << c.sh << " -> " << c.w << "x" << c.h);
    FIBITMAP* source = MakeScene(c.sw, c.sh, static_cast<unsigned>(c.sw * 3 + c.h));
    ASSERT_NE(source, nullptr);
    const std::vector<std::uint32_t> plain = Ours(source, c.w, c.h, ResizeSimd::Plain);
    ASSERT_EQ(plain.size(), static_cast<std::size_t>(c.w) * c.h);
    EXPECT_EQ(Ours(source, c.w, c.h, ResizeSimd::Sse2), plain);
    EXPECT_EQ(Ours(source, c.w, c.h, ResizeSimd::Avx2), plain);
    FreeImage_Unload(source);
  }
}

// The sizes' taps are kept between calls: a change of either size must not reuse the old ones, on
// this thread or another.
TEST(BsplineResize, ChangingSizesNeverReusesAnotherSizesTaps) {
  FIBITMAP* wide = MakeScene(640, 360, 5);
  FIBITMAP* tall = MakeScene(360, 640, 6);
  // Computed first, each with nothing kept from before.
  const std::vector<std::uint32_t> wideSmall = Ours(wide, 320, 240);
  const std::vector<std::uint32_t> tallSmall = Ours(tall, 320, 240);
  const std::vector<std::uint32_t> wideLarge = Ours(wide, 960, 720);
  EXPECT_EQ(Ours(wide, 320, 240), wideSmall) << "another destination size came between";
  EXPECT_EQ(Ours(tall, 320, 240), tallSmall) << "the same destination from another source size";
  EXPECT_EQ(Ours(wide, 320, 240), wideSmall);
  EXPECT_EQ(Ours(wide, 960, 720), wideLarge);
  std::vector<std::uint32_t> fromThread;
  std::thread([&] { fromThread = Ours(tall, 320, 240); }).join();
  EXPECT_EQ(fromThread, tallSmall);
  FreeImage_Unload(tall);
  FreeImage_Unload(wide);
}

TEST(BsplineResize, GreyPicturesComeOutGreyAndOtherFormatsAreRefused) {
  FIBITMAP* colour = MakeScene(64, 48);
  FIBITMAP* grey = FreeImage_ConvertToGreyscale(colour);
  const std::vector<std::uint32_t> pixels = Ours(grey, 32, 24);
  ASSERT_EQ(pixels.size(), 32u * 24u);
  for (std::uint32_t p : pixels) {
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
  }

  FIBITMAP* rgba = FreeImage_ConvertTo32Bits(colour);
  std::vector<std::uint32_t> out(32 * 24);
  EXPECT_FALSE(ResizeBspline(rgba, 32, 24, out.data(), 32 * 4));
  EXPECT_FALSE(ResizeBspline(colour, 0, 24, out.data(), 32 * 4));
  EXPECT_FALSE(ResizeBspline(colour, 32, 24, out.data(), 31 * 4)) << "rows shorter than the width";
  EXPECT_FALSE(ResizeBspline(nullptr, 32, 24, out.data(), 32 * 4));
  FreeImage_Unload(rgba);
  FreeImage_Unload(grey);
  FreeImage_Unload(colour);
}

}  // namespace
