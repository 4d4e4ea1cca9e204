// The B-spline resampler: horizontal pass into 16-bit intermediate rows, then a vertical pass into the bits.
#include "video/bspline_resize.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Weights are fixed point with 14 fraction bits; the intermediate rows keep 6 fraction bits, which
// leaves the final rounding as the only visible one and fits the products into 32 bits.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kMidBits = 6;
constexpr int kChannels = 4;

double Bspline(double x) {
  x = std::fabs(x);
  if (x < 1) return (4 + x * x * (-6 + 3 * x)) / 6;
  if (x < 2) {
    const double t = 2 - x;
    return t * t * t / 6;
  }
  return 0;
}

// For each destination pixel along one axis: the first source pixel it reads and `count` weights
// (those past the filter's reach are 0). `count` is even so the horizontal pass can take taps in pairs.
struct Taps {
  int count = 0;
  std::vector<int> first;
  std::vector<std::int16_t> weights;
};

Taps MakeTaps(int srcSize, int dstSize) {
  Taps taps;
  if (srcSize == dstSize) {
    // FreeImage leaves an axis whose size does not change as it is; so do we.
    taps.count = 2;
    taps.first.resize(static_cast<std::size_t>(dstSize));
    taps.weights.assign(static_cast<std::size_t>(dstSize) * taps.count, 0);
    for (int u = 0; u < dstSize; ++u) {
      taps.first[u] = u;
      taps.weights[static_cast<std::size_t>(u) * taps.count] = kWeightOne;
    }
    return taps;
  }
  const double scale = static_cast<double>(dstSize) / srcSize;
  // Shrinking widens the filter so every source pixel contributes.
  const double support = scale < 1 ? 2.0 / scale : 2.0;
  const double filterScale = scale < 1 ? scale : 1.0;
  const double offset = 0.5 / scale;
  taps.count = 2 * static_cast<int>(std::ceil(support)) + 1;
  taps.count += taps.count % 2;
  taps.first.resize(static_cast<std::size_t>(dstSize));
  taps.weights.assign(static_cast<std::size_t>(dstSize) * taps.count, 0);
  std::vector<double> w(static_cast<std::size_t>(taps.count));
  for (int u = 0; u < dstSize; ++u) {
    const double center = u / scale + offset;
    const int left = std::max(0, static_cast<int>(center - support + 0.5));
    const int right = std::min(static_cast<int>(center + support + 0.5), srcSize);
    const int n = std::clamp(right - left, 0, taps.count);
    double total = 0;
    for (int i = 0; i < n; ++i) {
      w[i] = filterScale * Bspline(filterScale * (left + i + 0.5 - center));
      total += w[i];
    }
    std::int16_t* q = &taps.weights[static_cast<std::size_t>(u) * taps.count];
    taps.first[u] = std::min(left, srcSize - 1);
    if (total <= 0) {  // cannot happen with this filter; the nearest pixel keeps the result defined
      q[0] = kWeightOne;
      continue;
    }
    // Rounded weights must still sum to one, or flat areas would drift by a level.
    int sum = 0, largest = 0;
    for (int i = 0; i < n; ++i) {
      q[i] = static_cast<std::int16_t>(std::lround(w[i] / total * kWeightOne));
      sum += q[i];
      if (q[i] > q[largest]) largest = i;
    }
    q[largest] = static_cast<std::int16_t>(q[largest] + kWeightOne - sum);
  }
  return taps;
}

// One row of 8-bit pixels (3 bytes each) to `dstWidth` pixels of 4 channels with kMidBits fraction bits.
// `row` holds (srcWidth + taps.count) pixels plus 1 byte, the tail zero, so every tap can read 4 bytes.
void HorizontalPass(const std::uint8_t* row, const Taps& taps, int dstWidth, std::int16_t* out) {
  constexpr int kShift = kWeightBits - kMidBits;
  for (int x = 0; x < dstWidth; ++x) {
    const std::uint8_t* p = row + static_cast<std::size_t>(taps.first[x]) * 3;
    const std::int16_t* w = &taps.weights[static_cast<std::size_t>(x) * taps.count];
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = _mm_set1_epi32(1 << (kShift - 1));
    for (int k = 0; k < taps.count; k += 2, p += 6) {
      std::uint32_t a, b;
      std::memcpy(&a, p, 4);
      std::memcpy(&b, p + 3, 4);
      // Channels of the two taps side by side, as 16-bit pairs, against the pair of weights.
      const __m128i pair = _mm_unpacklo_epi8(
          _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a & 0xFFFFFF)),
                            _mm_cvtsi32_si128(static_cast<int>(b & 0xFFFFFF))),
          zero);
      const __m128i weights = _mm_set1_epi32(static_cast<int>(static_cast<std::uint16_t>(w[k]) |
                                                              (static_cast<std::uint32_t>(w[k + 1]) << 16)));
      acc = _mm_add_epi32(acc, _mm_madd_epi16(pair, weights));
    }
    acc = _mm_srai_epi32(acc, kShift);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + static_cast<std::size_t>(x) * kChannels),
                     _mm_packs_epi32(acc, acc));
#else
    int acc[3] = {1 << (kShift - 1), 1 << (kShift - 1), 1 << (kShift - 1)};
    for (int k = 0; k < taps.count; ++k, p += 3)
      for (int c = 0; c < 3; ++c) acc[c] += w[k] * p[c];
    std::int16_t* o = out + static_cast<std::size_t>(x) * kChannels;
    for (int c = 0; c < 3; ++c) o[c] = static_cast<std::int16_t>(acc[c] >> kShift);
    o[3] = 0;
#endif
  }
}

}  // namespace

bool ResizeBspline(FIBITMAP* source, int width, int height, void* bits, int pitch) {
  if (source == nullptr || bits == nullptr || width <= 0 || height <= 0) return false;
  const unsigned bpp = FreeImage_GetBPP(source);
  if (FreeImage_GetImageType(source) != FIT_BITMAP || (bpp != 24 && bpp != 8)) return false;
  const int srcWidth = static_cast<int>(FreeImage_GetWidth(source));
  const int srcHeight = static_cast<int>(FreeImage_GetHeight(source));
  if (srcWidth <= 0 || srcHeight <= 0 || pitch < width * 4) return false;
  RGBQUAD* palette = bpp == 8 ? FreeImage_GetPalette(source) : nullptr;
  if (bpp == 8 && palette == nullptr) return false;

  const Taps across = MakeTaps(srcWidth, width);
  const Taps down = MakeTaps(srcHeight, height);
  const std::size_t midStride = static_cast<std::size_t>(width) * kChannels;
  std::vector<std::int16_t> mid(midStride * srcHeight);
  std::vector<std::uint8_t> row((static_cast<std::size_t>(srcWidth) + across.count) * 3 + 1, 0);
  for (int y = 0; y < srcHeight; ++y) {
    // FreeImage keeps the bottom row first.
    const BYTE* line = FreeImage_GetScanLine(source, srcHeight - 1 - y);
    if (bpp == 24) {
      std::memcpy(row.data(), line, static_cast<std::size_t>(srcWidth) * 3);
    } else {
      for (int x = 0; x < srcWidth; ++x) {
        const RGBQUAD& c = palette[line[x]];
        row[x * 3 + FI_RGBA_BLUE] = c.rgbBlue;
        row[x * 3 + FI_RGBA_GREEN] = c.rgbGreen;
        row[x * 3 + FI_RGBA_RED] = c.rgbRed;
      }
    }
    HorizontalPass(row.data(), across, width, &mid[midStride * y]);
  }

  constexpr int kShift = kWeightBits + kMidBits;
  std::vector<std::int32_t> acc(midStride);
  for (int y = 0; y < height; ++y) {
    std::fill(acc.begin(), acc.end(), 1 << (kShift - 1));
    const int first = down.first[y];
    const int n = std::min(down.count, srcHeight - first);
    const std::int16_t* w = &down.weights[static_cast<std::size_t>(y) * down.count];
    for (int k = 0; k < n; ++k) {
      if (w[k] == 0) continue;
      const std::int32_t weight = w[k];
      const std::int16_t* m = &mid[midStride * (first + k)];
      for (std::size_t i = 0; i < midStride; ++i) acc[i] += weight * m[i];
    }
    auto* out = static_cast<std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch;
    for (std::size_t i = 0; i < midStride; ++i)
      out[i] = static_cast<std::uint8_t>(std::clamp(acc[i] >> kShift, 0, 255));
  }
  return true;
}
