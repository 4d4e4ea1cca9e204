// The test picture: drawn into an RGB buffer and JPEG-encoded with TurboJPEG.
#include <turbojpeg.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/doorsim/doorsim.h"
#include "tools/doorsim/font.h"

namespace doorsim {
namespace {

void DrawBackground(RgbCanvas& c, uint64_t frame) {
  const int shift = static_cast<int>(frame % 256);
  for (int y = 0; y < c.height; ++y) {
    const int v = (y * 255 / c.height + shift) % 256;
    const int tri = v < 128 ? v * 2 : (255 - v) * 2;  // no seam where the ramp wraps
    c.Fill(0, y, c.width, 1, static_cast<uint8_t>(20 + tri / 8), static_cast<uint8_t>(40 + tri / 3),
           static_cast<uint8_t>(80 + tri / 2));
  }
}

// A ball that crosses the picture and bounces back, so consecutive pictures always differ.
void DrawBall(RgbCanvas& c, uint64_t frame) {
  const int radius = std::max(4, c.height / 8);
  const int travel = std::max(1, c.width - 2 * radius);
  const int step = std::max(1, c.width / 50);
  const int pos = static_cast<int>((frame * step) % (2 * static_cast<uint64_t>(travel)));
  const int cx = radius + (pos < travel ? pos : 2 * travel - pos);
  const int cy = c.height / 2 + static_cast<int>(std::lround(std::sin(frame * 0.2) * c.height / 6.0));
  for (int dy = -radius; dy <= radius; ++dy) {
    const int half = static_cast<int>(std::sqrt(static_cast<double>(radius * radius - dy * dy)));
    c.Fill(cx - half, cy + dy, 2 * half + 1, 1, 240, 190, 40);
  }
}

}  // namespace

std::vector<uint8_t> EncodePicture(int width, int height, uint64_t frame, std::string_view title,
                                   std::string_view clock) {
  if (width < 16 || height < 16 || width > 8192 || height > 8192) return {};
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  RgbCanvas canvas{rgb.data(), width, height};
  DrawBackground(canvas, frame);
  DrawBall(canvas, frame);

  const int scale = std::max(1, height / 160);
  const int margin = 2 * scale;
  const int band = 8 * scale + 2 * margin;
  canvas.Fill(0, 0, width, band, 0, 0, 0);
  DrawText(canvas, margin, margin, title, scale, 255, 255, 255);
  canvas.Fill(0, height - band, width, band, 0, 0, 0);
  char counter[32];
  std::snprintf(counter, sizeof counter, "#%06llu", static_cast<unsigned long long>(frame));
  DrawText(canvas, margin, height - band + margin, counter, scale, 120, 255, 120);
  DrawText(canvas, width - margin - TextWidth(clock, scale), height - band + margin, clock, scale, 255, 255,
           120);

  tjhandle handle = tjInitCompress();
  if (!handle) return {};
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 80,
                             TJFLAG_FASTDCT);
  std::vector<uint8_t> out;
  if (rc == 0 && jpeg) out.assign(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(handle);
  return out;
}

}  // namespace doorsim
