// The picture display: one door picture decoded at the scale the video area needs and drawn into it.
#include "video/show_jpeg.h"

#include <FreeImage.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/core/diagnostics.h"
#include "platform/gui/drawing.h"
#include "skin/freeimage_init.h"
#include "video/bspline_resize.h"
#include "video/frame_pool.h"
#include "video/jpeg_file_io.h"
#include "video/jpeg_header.h"
#include "video/live_picture.h"

namespace {

// A larger stdio buffer reads a whole camera picture from the runtime folder in a few calls.
constexpr std::size_t kReadBuffer = 1 << 16;

// The picture in the file, decoded no smaller than width x height where the decoder can scale down;
// null when the file is not a complete JPEG picture.
FIBITMAP* LoadPicture(FILE* file, int width, int height) {
  JpegHeader header;
  if (!ReadJpegHeader(file, &header)) return nullptr;
  const int hint = DecodeSizeHint(header.width, header.height, width, height);
  // Where the decoder does not scale down, the picture is enlarged or barely shrunk, and the accurate
  // transform and smooth colour upsampling show; scaled decodes average those details away anyway.
  const bool fullScale = hint == 0 || 2 * hint > std::max(header.width, header.height);
  FreeImageIO io = JpegFileIO();
  return FreeImage_LoadFromHandle(FIF_JPEG, &io, static_cast<fi_handle>(file),
                                  (hint << 16) | (fullScale ? JPEG_ACCURATE : 0));
}

// Decodes the picture file and draws it as width x height at (column, row); false when nothing was drawn.
bool Draw(HWND hwnd, const char* NameJPEG, int width, int height, int column, int row) {
  FILE* soubor = std::fopen(NameJPEG, "rb");
  if (soubor == nullptr) return false;
  std::setvbuf(soubor, nullptr, _IOFBF, kReadBuffer);
  EnsureFreeImage();
  FIBITMAP* picture = LoadPicture(soubor, width, height);
  std::fclose(soubor);
  if (picture == nullptr) return false;

  Frame frame = TakeFrame(width, height);
  bool drawn = frame.bitmap && ResizeBspline(picture, width, height, frame.bits, frame.pitch);
  FreeImage_Unload(picture);
  if (drawn) ShowLivePicture(hwnd, frame.bitmap, column, row, width, height);
  return drawn;
}

// With KESTROVA_PICTURE_STATS set, one line per picture handed over: how many came and how many were
// drawn, for measuring the whole video path from outside.
void CountPicture(bool drawn) {
  static const bool enabled = std::getenv("KESTROVA_PICTURE_STATS") != nullptr;
  static std::atomic<long> received{0}, shown{0};
  if (!enabled) return;
  const long r = ++received, s = drawn ? ++shown : shown.load();
  Diag(DiagLevel::Info, "pictures: %ld received, %ld shown", r, s);
}

}  // namespace

void ShowJPEG(HWND hwnd, const char* NameJPEG, int ClW, int ClH, t_Skin* Skin) {
  if (NameJPEG == nullptr || Skin == nullptr) return;
  int width, height, column, row;
  {
    RecursiveLock lock(SkinMutex());
    width = ClW - Skin[SKIN_L].Width - Skin[SKIN_R].Width;
    height = ClH - Skin[SKIN_T].Height - Skin[SKIN_B].Height;
    column = Skin[SKIN_POZADI].PosY;
    row = Skin[SKIN_POZADI].PosX;
  }
  const bool drawn = width > 0 && height > 0 && Draw(hwnd, NameJPEG, width, height, column, row);
  CountPicture(drawn);
}
