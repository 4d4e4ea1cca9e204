// Tests of drawing door pictures into the video area, checked pixel by pixel on the offscreen surface.
#include "video/show_jpeg.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "tests/support/gui/bare_window.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/support/pictures/test_pictures.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::ReadFile;
using test_support::TempFolder;
using test_support::WriteFile;

constexpr const char* kTestClass = "KestrovaVideoTest";
constexpr std::uint32_t kMarker = 0xFF00FF;

unsigned R(std::uint32_t p) { return (p >> 16) & 0xFF; }
unsigned G(std::uint32_t p) { return (p >> 8) & 0xFF; }
unsigned B(std::uint32_t p) { return p & 0xFF; }
bool Red(std::uint32_t p) { return R(p) > 200 && G(p) < 60 && B(p) < 60; }
bool Green(std::uint32_t p) { return G(p) > 200 && R(p) < 60 && B(p) < 60; }
bool Blue(std::uint32_t p) { return B(p) > 200 && R(p) < 60 && G(p) < 60; }
bool White(std::uint32_t p) { return R(p) > 200 && G(p) > 200 && B(p) > 200; }

class ShowJpegTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { hwnd_ = test_support::OpenBareWindow(kTestClass); }

  static void TearDownTestSuite() {
    test_support::CloseBareWindow(hwnd_);
    hwnd_ = HWND_NONE;
  }

  void SetUp() override {
    ASSERT_NE(hwnd_, HWND_NONE);
    InitSkin(&kBuiltinResources, hwnd_, skin_);
    Resize(336, 301);
  }

  void Resize(int width, int height) {
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
    SkinBitmapPos(skin_, height, width);
    width_ = width;
    height_ = height;
    FillSurface(kMarker);
  }

  void FillSurface(std::uint32_t colour) {
    void* bits = nullptr;
    int pitch = 0;
    std::shared_ptr<Bitmap> fill = CreateDIBSection(width_, height_, &bits, &pitch);
    ASSERT_TRUE(fill);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        reinterpret_cast<std::uint32_t*>(static_cast<char*>(bits) + y * pitch)[x] = colour;
    HDC dc = GetDC(hwnd_);
    ASSERT_NE(dc, nullptr);
    DrawState(dc, fill, 0, 0);
    ReleaseDC(hwnd_, dc);
  }

  std::string Picture(const std::string& name, FIBITMAP* picture, int quality = 95) {
    const std::string path = folder_ / name;
    EXPECT_TRUE(test_pictures::SaveJpeg(picture, path, quality));
    FreeImage_Unload(picture);
    return path;
  }

  SurfaceCopy Show(const std::string& path, int clientHeight = -1) {
    ShowJPEG(hwnd_, path.c_str(), width_, clientHeight < 0 ? height_ : clientHeight, skin_);
    return CopySurface(hwnd_);
  }

  // The video area [x0, x1) x [y0, y1) of a surface, row by row.
  static std::vector<std::uint32_t> Area(const SurfaceCopy& s, int x0, int y0, int x1, int y1) {
    std::vector<std::uint32_t> pixels;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) pixels.push_back(s.at(x, y));
    return pixels;
  }

  // Marker pixels left on the one-pixel ring just outside [x0, x1) x [y0, y1).
  static int MarkerRing(const SurfaceCopy& s, int x0, int y0, int x1, int y1) {
    int n = 0, total = 0;
    for (int x = x0 - 1; x <= x1; ++x) {
      n += s.at(x, y0 - 1) == kMarker;
      n += s.at(x, y1) == kMarker;
      total += 2;
    }
    for (int y = y0; y < y1; ++y) {
      n += s.at(x0 - 1, y) == kMarker;
      n += s.at(x1, y) == kMarker;
      total += 2;
    }
    return n - total;  // 0 when the whole ring is untouched
  }

  TempFolder folder_;
  t_Skin skin_[kSkinPieces] = {};
  int width_ = 0, height_ = 0;
  static inline HWND hwnd_ = HWND_NONE;
};

TEST_F(ShowJpegTest, PictureIsStretchedIntoTheVideoAreaAndTheFrameIsLeftAlone) {
  ASSERT_EQ(skin_[SKIN_POZADI].PosY, 8);
  ASSERT_EQ(skin_[SKIN_POZADI].PosX, 26);
  const SurfaceCopy s = Show(Picture("q.jpg", test_pictures::MakeQuadrants(640, 480)));
  ASSERT_EQ(s.width, 336);
  // 320 x 240 from column 8, row 26: quadrant corners land on the area's corners.
  EXPECT_TRUE(Red(s.at(8, 26))) << std::hex << s.at(8, 26);
  EXPECT_TRUE(Green(s.at(327, 26))) << std::hex << s.at(327, 26);
  EXPECT_TRUE(Blue(s.at(8, 265))) << std::hex << s.at(8, 265);
  EXPECT_TRUE(White(s.at(327, 265))) << std::hex << s.at(327, 265);
  // The quadrants' borders sit at the area's middle: column 168, row 146.
  EXPECT_TRUE(Red(s.at(165, 140)));
  EXPECT_TRUE(Green(s.at(171, 140)));
  EXPECT_TRUE(Blue(s.at(165, 149)));
  EXPECT_EQ(MarkerRing(s, 8, 26, 328, 266), 0);
  EXPECT_EQ(Area(s, 0, 0, 336, 26), std::vector<std::uint32_t>(336 * 26, kMarker)) << "top bar touched";
}

TEST_F(ShowJpegTest, WiderWindowDrawsWiderFromTheSameCorner) {
  Resize(436, 301);
  const SurfaceCopy s = Show(Picture("q.jpg", test_pictures::MakeQuadrants(640, 480)));
  ASSERT_EQ(s.width, 436);
  EXPECT_TRUE(Red(s.at(8, 26)));
  EXPECT_TRUE(Green(s.at(427, 26)));
  EXPECT_TRUE(White(s.at(427, 265)));
  EXPECT_TRUE(Red(s.at(215, 140))) << "the left half ends at the wider area's middle, column 218";
  EXPECT_TRUE(Green(s.at(221, 140)));
  EXPECT_EQ(MarkerRing(s, 8, 26, 428, 266), 0);
}

TEST_F(ShowJpegTest, FilesThatHoldNoCompletePictureKeepThePreviousOne) {
  const std::string good = Picture("q.jpg", test_pictures::MakeQuadrants(640, 480));
  const SurfaceCopy before = Show(good);
  ASSERT_TRUE(Red(before.at(8, 26)));
  const std::string bytes = ReadFile(good);
  const struct {
    const char* what;
    std::string content;
  } bad[] = {
      {"empty", ""},
      {"cut in half", bytes.substr(0, bytes.size() / 2)},
      {"not a JPEG", std::string(4000, '\x33')},
      {"start marker only", std::string("\xFF\xD8", 2)},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.what);
    const std::string path = folder_ / "bad.jpg";
    ASSERT_TRUE(WriteFile(path, b.content));
    EXPECT_EQ(Show(path).pixels, before.pixels);
  }
  EXPECT_EQ(Show(folder_ / "missing.jpg").pixels, before.pixels) << "a file that cannot be opened";
}

TEST_F(ShowJpegTest, PictureOfTheAreasSizeIsDrawnAtItsOwnSize) {
  const std::string path = Picture("same.jpg", test_pictures::MakeScene(320, 240), 90);
  // The rescale to the same size gives the decoded picture back; unscaled decodes are the accurate kind.
  FIBITMAP* decoded = FreeImage_Load(FIF_JPEG, path.c_str(), JPEG_ACCURATE);
  FIBITMAP* rescaled = FreeImage_Rescale(decoded, 320, 240, FILTER_BSPLINE);
  const std::vector<std::uint32_t> expected = test_pictures::TopDownPixels(rescaled);
  FreeImage_Unload(rescaled);
  FreeImage_Unload(decoded);

  const SurfaceCopy s = Show(path);
  EXPECT_LE(test_pictures::MaxChannelDifference(Area(s, 8, 26, 328, 266), expected), 1);
  EXPECT_EQ(MarkerRing(s, 8, 26, 328, 266), 0);
}

TEST_F(ShowJpegTest, AreaWithoutHeightOrWidthDrawsNothing) {
  const std::string path = Picture("q.jpg", test_pictures::MakeQuadrants(640, 480));
  const int frameHeight = skin_[SKIN_T].Height + skin_[SKIN_B].Height;
  const std::vector<std::uint32_t> untouched(static_cast<std::size_t>(336) * 301, kMarker);
  EXPECT_EQ(Show(path, frameHeight).pixels, untouched) << "zero height";
  EXPECT_EQ(Show(path, frameHeight - 5).pixels, untouched) << "negative height";
  width_ = skin_[SKIN_L].Width + skin_[SKIN_R].Width;
  EXPECT_EQ(Show(path, 301).pixels, untouched) << "zero width";
}

// Decoding at the scale the area needs must not cost picture quality: measured against an accurate full
// decode resized with Lanczos, the drawn picture is at least as close as a full decode with default
// flags and FreeImage's own B-spline rescale.
TEST_F(ShowJpegTest, PictureIsNoFurtherFromAnAccurateReferenceThanAPlainFullDecode) {
  struct Case {
    int sw, sh, clientW, clientH;
  };
  const Case cases[] = {{640, 480, 336, 301}, {1280, 720, 336, 301}, {640, 480, 976, 781}};
  for (const Case& c : cases) {
    Resize(c.clientW, c.clientH);
    const int w = c.clientW - 16, h = c.clientH - 61;
    SCOPED_TRACE(::testing::Message() << c.sw << "x" << c.sh << " -> " << w << "x" << h);
    const std::string path = Picture("scene.jpg", test_pictures::MakeScene(c.sw, c.sh), 85);
    FIBITMAP* accurate = FreeImage_Load(FIF_JPEG, path.c_str(), JPEG_ACCURATE);
    FIBITMAP* lanczos = FreeImage_Rescale(accurate, w, h, FILTER_LANCZOS3);
    FIBITMAP* full = FreeImage_Load(FIF_JPEG, path.c_str(), 0);
    FIBITMAP* bspline = FreeImage_Rescale(full, w, h, FILTER_BSPLINE);
    const std::vector<std::uint32_t> reference = test_pictures::TopDownPixels(lanczos);
    const std::vector<std::uint32_t> straightforward = test_pictures::TopDownPixels(bspline);
    for (FIBITMAP* p : {accurate, lanczos, full, bspline}) FreeImage_Unload(p);

    const std::vector<std::uint32_t> drawn = Area(Show(path), 8, 26, 8 + w, 26 + h);
    const double ours = test_pictures::Psnr(drawn, reference);
    EXPECT_GE(ours, test_pictures::Psnr(straightforward, reference));
    EXPECT_GT(ours, 30.0);
  }
}

}  // namespace
