// Tests of painting the skinned window, checked pixel by pixel on the offscreen surface.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/freeimage_init.h"
#include "skin/skin.h"
#include "tests/support/gui/bare_window.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/unit/skin/temp_skin_folder.h"

namespace {

using skin_test::TempSkinFolder;

constexpr const char* kTestClass = "KestrovaSkinTest";

unsigned R(std::uint32_t p) { return (p >> 16) & 0xFF; }
unsigned G(std::uint32_t p) { return (p >> 8) & 0xFF; }
unsigned B(std::uint32_t p) { return p & 0xFF; }

// The title colour blended into the dark title bar by anti-aliasing still counts.
bool Yellowish(std::uint32_t p) { return R(p) >= 96 && G(p) >= 80 && B(p) * 2 < R(p); }
bool Reddish(std::uint32_t p) { return R(p) > 180 && G(p) < 70 && B(p) < 70; }
bool Bluish(std::uint32_t p) { return B(p) > 180 && R(p) < 70 && G(p) < 70; }

int CountIn(const SurfaceCopy& s, int x0, int y0, int x1, int y1,
            const std::function<bool(std::uint32_t)>& pred) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += pred(s.at(x, y));
  return n;
}

// Pixels of the block [x0, x1) x [y0, y1) that differ from `bitmap` tiled from (originX, originY).
int TileMismatches(const SurfaceCopy& s, const HBITMAP& bitmap, int originX, int originY, int x0, int y0,
                   int x1, int y1) {
  BITMAP bm{};
  if (GetObject(bitmap, sizeof bm, &bm) == 0) return -1;
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      n += s.at(x, y) != GetBitmapPixel(bitmap, (x - originX) % bm.bmWidth, (y - originY) % bm.bmHeight);
  return n;
}

// Pixels differing from `shown`'s bitmap drawn at `place`'s position.
int Mismatches(const SurfaceCopy& s, const t_Skin& shown, const t_Skin& place) {
  return TileMismatches(s, shown.ShBitmap, place.PosY, place.PosX, place.PosY, place.PosX,
                        place.PosY + shown.Width, place.PosX + shown.Height);
}
int Mismatches(const SurfaceCopy& s, const t_Skin& piece) { return Mismatches(s, piece, piece); }

// The built-in background below the connecting notice, which covers its top rows.
int BackgroundMismatches(const SurfaceCopy& s, const t_Skin& pozadi) {
  return TileMismatches(s, pozadi.ShBitmap, pozadi.PosY, pozadi.PosX, pozadi.PosY, pozadi.PosX + 30,
                        pozadi.PosY + pozadi.Width, pozadi.PosX + pozadi.Height);
}

int NoticePixels(const SurfaceCopy& s) {
  return CountIn(s, 20, 30, 200, 45, [](std::uint32_t p) { return p == 0xFFFF00; });
}

// A picture whose left half is red and right half blue.
bool WriteSplitJpeg(const char* path, int width, int height) {
  EnsureFreeImage();
  FIBITMAP* image = FreeImage_Allocate(width, height, 24);
  if (image == nullptr) return false;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      RGBQUAD c{};
      (x < width / 2 ? c.rgbRed : c.rgbBlue) = 255;
      FreeImage_SetPixelColor(image, x, y, &c);
    }
  const bool saved = FreeImage_Save(FIF_JPEG, image, path, JPEG_QUALITYSUPERB);
  FreeImage_Unload(image);
  return saved;
}

class SkinPainting : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { hwnd_ = test_support::OpenBareWindow(kTestClass); }

  static void TearDownTestSuite() {
    test_support::CloseBareWindow(hwnd_);
    hwnd_ = HWND_NONE;
  }

  void SetUp() override {
    ASSERT_NE(hwnd_, HWND_NONE);
    Resize(336, 301);
  }

  // Resizes the window and loads and lays out the skin of this test's folder for that size.
  void Resize(int width, int height) {
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
    InitSkin(&kBuiltinResources, hwnd_, skin_);
    SkinBitmapPos(skin_, height, width);
  }

  t_ShowData Snapshot(int width = 336, int height = 301) {
    t_ShowData d{};
    d.ClientWidth = width;
    d.ClientHeight = height;
    d.Button = kNoButton;
    d.Kill_TCP = TRUE;
    d.Skin = skin_;
    return d;
  }

  SurfaceCopy Paint(const t_ShowData& d) {
    ShowMyWindow(hwnd_, d);
    return CopySurface(hwnd_);
  }

  SurfaceCopy PaintTitle(const char* title) {
    t_ShowData d = Snapshot();
    std::strncpy(d.title, title, sizeof d.title - 1);
    ShowTitle(hwnd_, d);
    return CopySurface(hwnd_);
  }

  static void ExpectWindowSize(int width, int height) {
    RECT r{};
    ASSERT_TRUE(GetWindowRect(hwnd_, &r));
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
  }

  void ExpectFrameAndButtons(const SurfaceCopy& s) {
    for (int i : {SKIN_TL, SKIN_TR, SKIN_BR, SKIN_BL_OFF, SKIN_BR_B1_UP, SKIN_BR_B2_UP, SKIN_BR_B3_UP})
      EXPECT_EQ(Mismatches(s, skin_[i]), 0) << NameBMP[i];
    const t_Skin &l = skin_[SKIN_L], &r = skin_[SKIN_R], &t = skin_[SKIN_T], &b = skin_[SKIN_B];
    const int W = s.width, H = s.height;
    EXPECT_EQ(TileMismatches(s, l.ShBitmap, 0, 0, 0, t.Height, l.Width, b.PosX), 0) << "left edge";
    EXPECT_EQ(TileMismatches(s, r.ShBitmap, r.PosY, 0, r.PosY, t.Height, W, b.PosX), 0) << "right edge";
    EXPECT_EQ(TileMismatches(s, t.ShBitmap, 0, 0, skin_[SKIN_TL].Width, 0, skin_[SKIN_TR].PosY, t.Height), 0)
        << "top edge";
    EXPECT_EQ(TileMismatches(s, b.ShBitmap, 0, b.PosX, skin_[SKIN_BL_OFF].Width, b.PosX,
                             skin_[SKIN_BR_B3_UP].PosY, H),
              0)
        << "bottom edge";
  }

  TempSkinFolder folder_;
  t_Skin skin_[kSkinPieces] = {};
  static inline HWND hwnd_ = HWND_NONE;
};

TEST_F(SkinPainting, PiecesTheirPlacesAndTheNoticeOverTheBuiltinBackground) {
  const SurfaceCopy s = Paint(Snapshot());
  ASSERT_EQ(s.width, 336);
  ASSERT_EQ(s.height, 301);
  ExpectFrameAndButtons(s);
  EXPECT_EQ(BackgroundMismatches(s, skin_[SKIN_POZADI]), 0);
  EXPECT_GT(NoticePixels(s), 20);
}

TEST_F(SkinPainting, DisplayStateChoosesTheLookOfEachSlot) {
  struct Case {
    const char* what;
    std::function<void(t_ShowData&)> set;
    int shown, hidden, place;
  };
  const Case cases[] = {
      {"no call", [](t_ShowData& d) { d.call = FALSE; }, SKIN_BL_OFF, SKIN_BL_ON, SKIN_BL_OFF},
      {"call", [](t_ShowData& d) { d.call = TRUE; }, SKIN_BL_ON, SKIN_BL_OFF, SKIN_BL_OFF},
      {"no line call", [](t_ShowData& d) { d.lin_call = FALSE; }, SKIN_BR_B3_UP, SKIN_BR_B4_UP,
       SKIN_BR_B3_UP},
      {"line call", [](t_ShowData& d) { d.lin_call = TRUE; }, SKIN_BR_B4_UP, SKIN_BR_B3_UP, SKIN_BR_B3_UP},
      {"no button", [](t_ShowData& d) { d.Button = kNoButton; }, SKIN_BR_B1_UP, SKIN_BR_B1_OVER,
       SKIN_BR_B1_UP},
      {"slot 1 hovered", [](t_ShowData& d) { d.Button = SKIN_BR_B1_OVER; }, SKIN_BR_B1_OVER, SKIN_BR_B1_UP,
       SKIN_BR_B1_UP},
      {"corner plain", [](t_ShowData& d) { d.Button = kNoButton; }, SKIN_TR, SKIN_TR_M, SKIN_TR},
      {"minimise hovered", [](t_ShowData& d) { d.Button = SKIN_TR_M; }, SKIN_TR_M, SKIN_TR, SKIN_TR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    t_ShowData d = Snapshot();
    c.set(d);
    const SurfaceCopy s = Paint(d);
    EXPECT_EQ(Mismatches(s, skin_[c.shown], skin_[c.place]), 0) << NameBMP[c.shown] << " expected";
    EXPECT_GT(Mismatches(s, skin_[c.hidden], skin_[c.place]), 0) << NameBMP[c.hidden] << " unexpected";
  }
}

TEST_F(SkinPainting, ShorterTitleLeavesNoTraceOfTheLongerOne) {
  const int barLeft = skin_[SKIN_TL].Width, barRight = skin_[SKIN_TR].PosY, barBottom = skin_[SKIN_T].Height;
  Paint(Snapshot());
  const SurfaceCopy shortOnly = PaintTitle("Door");
  int shortEnd = barLeft;
  for (int x = barLeft; x < barRight; ++x)
    if (CountIn(shortOnly, x, 0, x + 1, barBottom, Yellowish) > 0) shortEnd = x + 1;
  ASSERT_GT(shortEnd, barLeft) << "the short title was not drawn";

  const SurfaceCopy longer = PaintTitle("Front door, ground floor, building B");
  ASSERT_GT(CountIn(longer, shortEnd + 20, 0, barRight, barBottom, Yellowish), 0)
      << "the long title is too short";

  const SurfaceCopy after = PaintTitle("Door");
  EXPECT_EQ(CountIn(after, shortEnd, 0, barRight, barBottom, Yellowish), 0);
  int differing = 0;
  for (int y = 0; y < barBottom; ++y)
    for (int x = 0; x < after.width; ++x) differing += after.at(x, y) != shortOnly.at(x, y);
  EXPECT_EQ(differing, 0);
}

TEST_F(SkinPainting, WithVideoRunningTheVideoAreaIsLeftAlone) {
  void* bits = nullptr;
  int pitch = 0;
  const t_Skin& area = skin_[SKIN_POZADI];
  std::shared_ptr<Bitmap> marker = CreateDIBSection(area.Width, area.Height, &bits, &pitch);
  ASSERT_TRUE(marker);
  for (int y = 0; y < area.Height; ++y)
    for (int x = 0; x < area.Width; ++x)
      reinterpret_cast<std::uint32_t*>(static_cast<char*>(bits) + y * pitch)[x] = 0xFF00FF;
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  DrawState(dc, marker, area.PosY, area.PosX);
  ReleaseDC(hwnd_, dc);

  t_ShowData d = Snapshot();
  d.Kill_TCP = FALSE;
  const SurfaceCopy s = Paint(d);
  EXPECT_EQ(TileMismatches(s, marker, area.PosY, area.PosX, area.PosY, area.PosX, area.PosY + area.Width,
                           area.PosX + area.Height),
            0);
  ExpectFrameAndButtons(s);
}

TEST_F(SkinPainting, WithoutBackgroundPictureTheWindowIsFittedToTheBuiltinBackground) {
  Resize(500, 400);
  const SurfaceCopy s = Paint(Snapshot(500, 400));
  ExpectWindowSize(336, 301);
  EXPECT_EQ(skin_[SKIN_R].PosY, 328);
  EXPECT_EQ(skin_[SKIN_B].PosX, 266);
  ASSERT_EQ(s.width, 336);
  ASSERT_EQ(s.height, 301);
  ExpectFrameAndButtons(s);
  EXPECT_EQ(BackgroundMismatches(s, skin_[SKIN_POZADI]), 0);
}

TEST_F(SkinPainting, BackgroundPictureIsStretchedOverTheVideoArea) {
  ASSERT_TRUE(WriteSplitJpeg(TempSkinFolder::File(kBackgroundPicture).c_str(), 64, 48));
  Resize(436, 301);
  const SurfaceCopy s = Paint(Snapshot(436, 301));
  ExpectWindowSize(436, 301);
  ASSERT_EQ(s.width, 436);
  // The area is 420 x 240 from (8, 26): red up to its middle (x 218), blue after it, to its far edge.
  for (int y : {60, 150, 260}) {
    SCOPED_TRACE(::testing::Message() << "row " << y);
    for (int x : {10, 100, 200})
      EXPECT_TRUE(Reddish(s.at(x, y))) << std::hex << s.at(x, y) << " at x " << std::dec << x;
    for (int x : {236, 330, 425})
      EXPECT_TRUE(Bluish(s.at(x, y))) << std::hex << s.at(x, y) << " at x " << std::dec << x;
  }
  EXPECT_GT(NoticePixels(s), 20);
  ExpectFrameAndButtons(s);
}

TEST_F(SkinPainting, UndecodableBackgroundPictureFallsBackToTheBuiltinBackground) {
  TempSkinFolder::WriteBytes(TempSkinFolder::File(kBackgroundPicture), std::string(2000, '\x33'));
  const SurfaceCopy s = Paint(Snapshot());
  ExpectWindowSize(336, 301);
  ExpectFrameAndButtons(s);
  EXPECT_EQ(BackgroundMismatches(s, skin_[SKIN_POZADI]), 0);
  EXPECT_GT(NoticePixels(s), 20);
}

}  // namespace
