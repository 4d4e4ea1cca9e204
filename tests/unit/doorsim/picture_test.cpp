// Test pictures: real JPEGs of the asked size whose content moves from frame to frame.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include "tools/doorsim/doorsim.h"

namespace {

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

Decoded Decode(const std::vector<uint8_t>& jpeg) {
  Decoded d;
  tjhandle h = tjInitDecompress();
  int subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(h, jpeg.data(), jpeg.size(), &d.width, &d.height, &subsamp, &colorspace) == 0) {
    d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
    if (tjDecompress2(h, jpeg.data(), jpeg.size(), d.rgb.data(), d.width, 0, d.height, TJPF_RGB, 0) != 0) {
      d.rgb.clear();
    }
  }
  tjDestroy(h);
  return d;
}

size_t DifferentPixels(const Decoded& a, const Decoded& b) {
  size_t n = 0;
  for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
    const int diff = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                     std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
    if (diff > 30) ++n;
  }
  return n;
}

TEST(DoorsimPicture, DecodesAtTheAskedSize) {
  for (auto [w, h] : {std::pair{640, 480}, std::pair{321, 17}, std::pair{1920, 1080}}) {
    const auto jpeg = doorsim::EncodePicture(w, h, 3, "Front door", "12:00:00");
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const Decoded d = Decode(jpeg);
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    EXPECT_FALSE(d.rgb.empty());
  }
}

TEST(DoorsimPicture, ContentChangesFromFrameToFrame) {
  const Decoded a = Decode(doorsim::EncodePicture(320, 240, 10, "Door"));
  const Decoded b = Decode(doorsim::EncodePicture(320, 240, 11, "Door"));
  const Decoded again = Decode(doorsim::EncodePicture(320, 240, 10, "Door"));
  ASSERT_EQ(a.rgb.size(), b.rgb.size());
  EXPECT_GT(DifferentPixels(a, b), 320u * 240 / 100) << "the ball and the background move";
  EXPECT_EQ(DifferentPixels(a, again), 0u) << "the same frame number draws the same picture";
  const Decoded titled = Decode(doorsim::EncodePicture(320, 240, 10, "Other"));
  EXPECT_GT(DifferentPixels(a, titled), 0u) << "the title is drawn";
}

TEST(DoorsimPicture, OutOfRangeSizesGiveNothing) {
  EXPECT_TRUE(doorsim::EncodePicture(15, 100, 0, "").empty());
  EXPECT_TRUE(doorsim::EncodePicture(100, 0, 0, "").empty());
  EXPECT_TRUE(doorsim::EncodePicture(100, 9000, 0, "").empty());
  EXPECT_FALSE(doorsim::EncodePicture(16, 16, 0, std::string(500, 'W')).empty())
      << "a title wider than the picture is clipped";
}

}  // namespace
