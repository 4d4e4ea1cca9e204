// The window's surface: rounded outline, drawing from several threads, bitmaps and text from files and the
// network.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/core/round_region.h"
#include "platform/core/text_decode.h"
#include "platform/gui/drawing.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::PumpUntilFn;

TEST(RoundedOutline, CornersAreMirrorImagesAndOnlyTheCornerRowsAreCut) {
  const std::vector<int> insets = RoundedRowInsets(336, 301, 15, 15);
  ASSERT_EQ(insets.size(), 301u);
  EXPECT_GE(insets[0], 3);  // the corner pixel itself is always outside
  for (int row = 0; row < 301; ++row) EXPECT_EQ(insets[row], insets[300 - row]) << "row " << row;
  for (int row = 1; row < 8; ++row) EXPECT_LE(insets[row], insets[row - 1]);
  for (int row = 8; row < 293; ++row) ASSERT_EQ(insets[row], 0) << "row " << row;
  EXPECT_EQ(RoundedRowInsets(10, 4, 15, 15).size(), 4u);  // an ellipse larger than the window is clamped
}

TEST(NetworkText, ValidUtf8IsReadAsUtf8AnythingElseAsLatin1) {
  EXPECT_EQ(BytesToUtf8("Dve\xC5\x99"
                        "e",
                        6),
            "Dve\xC5\x99"
            "e");
  EXPECT_EQ(BytesToUtf8("Dv\xF8r", 4), "Dv\xC3\xB8r");
  EXPECT_EQ(BytesToUtf8("ab\xC5", 3), "ab\xC3\x85");          // a cut sequence loses nothing
  EXPECT_EQ(BytesToUtf8("\xC0\xAF", 2), "\xC3\x80\xC2\xAF");  // an overlong form is not UTF-8
  EXPECT_EQ(BytesToUtf8("\xED\xA0\x80", 3).size(), 6u);       // nor is a surrogate
  EXPECT_TRUE(BytesToUtf8(nullptr, 5).empty());
}

TEST(BitmapFiles, BrokenOrHostileFilesAreRefused) {
  test_support::TempFolder tmp;
  EXPECT_FALSE(LoadImageFromFile((tmp / "missing.bmp").c_str()));
  ASSERT_TRUE(test_support::WriteFile(tmp / "garbage.bmp", std::string(300, '\x5A')));
  EXPECT_FALSE(LoadImageFromFile((tmp / "garbage.bmp").c_str()));
  // A header that claims 100000 x 100000 pixels must not make us allocate them.
  std::string header(54, '\0');
  header[0] = 'B';
  header[1] = 'M';
  const std::uint32_t values[] = {54, 40, 100000, 100000};
  std::memcpy(&header[10], &values[0], 4);
  std::memcpy(&header[14], &values[1], 4);
  std::memcpy(&header[18], &values[2], 4);
  std::memcpy(&header[22], &values[3], 4);
  header[26] = 1;
  header[28] = 24;
  ASSERT_TRUE(test_support::WriteFile(tmp / "huge.bmp", header));
  EXPECT_FALSE(LoadImageFromFile((tmp / "huge.bmp").c_str()));
}

LRESULT PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(hwnd, message, wParam, lParam);
}

HBITMAP Solid(std::uint32_t colour, int w, int h) {
  void* bits = nullptr;
  int pitch = 0;
  std::shared_ptr<Bitmap> bitmap = CreateDIBSection(w, h, &bits, &pitch);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<std::uint32_t*>(bits)[y * (pitch / 4) + x] = 0xFF000000u | colour;
  return bitmap;
}

TEST(Surface, AWorkerThreadDrawsAndResizesWhileTheWindowIsShown) {
  test_support::EnsurePlatform();
  WNDCLASSEX wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "SurfaceTestClass";
  ASSERT_TRUE(RegisterClassEx(&wc));
  const HWND hwnd = CreateWindowEx("SurfaceTestClass", "surface", 0, 0, 120, 90);
  ASSERT_NE(hwnd, HWND_NONE);
  ShowWindow(hwnd, SW_SHOW);

  const HBITMAP red = Solid(0xFF0000, 20, 20), blue = Solid(0x0000FF, 20, 20);
  std::atomic<bool> done{false};
  std::thread painter([&] {
    for (int i = 0; i < 300; ++i) {
      HDC hdc = GetDC(hwnd);
      DrawState(hdc, i % 2 ? red : blue, 10, 10);
      HDC nested = GetDC(hwnd);  // a painter that calls another painter
      SetTextColor(nested, RGB(255, 255, 0));
      SetBkMode(nested, TRANSPARENT);
      TextOut(nested, 40, 40, "title", 5);
      ReleaseDC(hwnd, nested);
      ReleaseDC(hwnd, hdc);
      if (i % 50 == 0) SetWindowPos(hwnd, HWND_TOP, 0, 0, 120 + i / 50, 90, SWP_NOMOVE);
    }
    done = true;
  });
  EXPECT_TRUE(PumpUntilFn([&] { return done.load(); }, 30000));
  painter.join();
  PumpUntilFn([] { return false; }, 50);

  const SurfaceCopy surface = CopySurface(hwnd);
  EXPECT_EQ(surface.width, 125);
  EXPECT_EQ(surface.at(15, 15), 0xFF0000u);  // the last drawing (i = 299) was red
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(hwnd, &rect));
  EXPECT_EQ(rect.right - rect.left, 125);

  DestroyWindow(hwnd);
  EXPECT_TRUE(PumpUntilFn([&] { return !IsWindowVisible(hwnd); }, 2000));
}

}  // namespace
