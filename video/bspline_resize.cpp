// The B-spline resampler: per destination row, a vertical pass over the source rows into one 16-bit row,
// then a horizontal pass from it into the bits.
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

#include "video/bspline_kernel.h"

namespace {

using namespace bspline;

double Bspline(double x) {
  x = std::fabs(x);
  if (x < 1) return (4 + x * x * (-6 + 3 * x)) / 6;
  if (x < 2) {
    const double t = 2 - x;
    return t * t * t / 6;
  }
  return 0;
}

// The same taps without the weights that round to 0 at either end: the passes cost per tap.
Taps Trimmed(const Taps& wide) {
  const std::size_t dstSize = wide.first.size();
  std::vector<int> lead(dstSize), used(dstSize);
  int longest = 1;
  for (std::size_t u = 0; u < dstSize; ++u) {
    const std::int16_t* q = &wide.weights[u * wide.count];
    int a = 0, b = wide.count;
    while (a < b - 1 && q[a] == 0) ++a;
    while (b > a + 1 && q[b - 1] == 0) --b;
    lead[u] = a;
    used[u] = b - a;
    longest = std::max(longest, b - a);
  }
  Taps taps;
  taps.count = longest + longest % 2;
  taps.first.resize(dstSize);
  taps.weights.assign(dstSize * taps.count, 0);
  for (std::size_t u = 0; u < dstSize; ++u) {
    taps.first[u] = wide.first[u] + lead[u];
    std::copy_n(&wide.weights[u * wide.count + lead[u]], used[u], &taps.weights[u * taps.count]);
  }
  return taps;
}

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
  return Trimmed(taps);
}

std::vector<PairWeight> PairWeights(const Taps& taps) {
  std::vector<PairWeight> pairs(taps.weights.size() / 2);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::uint32_t pair =
        static_cast<std::uint16_t>(taps.weights[2 * i]) |
        (static_cast<std::uint32_t>(static_cast<std::uint16_t>(taps.weights[2 * i + 1])) << 16);
    pairs[i].lanes[0] = pairs[i].lanes[1] = pairs[i].lanes[2] = pair;
    pairs[i].lanes[3] = 0;
  }
  return pairs;
}

// `n` source rows of 8-bit samples (rows[k], top row first) weighed into one row of `lanes` samples
// with kMidBits fraction bits.
void VerticalPass(const std::uint8_t* const* rows, const std::int16_t* weights, const PairWeight* pairs,
                  int n, std::size_t lanes, std::int16_t* out, ResizeSimd simd) {
  std::size_t i = simd == ResizeSimd::Avx2 ? VerticalPassAvx2(rows, pairs, n, lanes, out) : 0;
#if defined(__SSE2__)
  // Sixteen samples at a time, two rows per step; an odd last row pairs with a zero row.
  constexpr int kMaxPairs = 16;
  const int pairCount = (n + 1) / 2;
  if (simd != ResizeSimd::Plain && pairCount <= kMaxPairs) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(1 << (kVerticalShift - 1));
    // Each pair's weights for every lane (the stored fourth lane is 0 for the horizontal pass).
    __m128i w[kMaxPairs];
    for (int k = 0; k < pairCount; ++k)
      w[k] = _mm_shuffle_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(&pairs[k])), 0);
    for (; i + 16 <= lanes; i += 16) {
      __m128i acc0 = round, acc1 = round, acc2 = round, acc3 = round;
      for (int k = 0; k < pairCount; ++k) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * k] + i));
        const __m128i b =
            2 * k + 1 < n ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * k + 1] + i)) : zero;
        const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
        acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w[k]));
        acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w[k]));
        acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w[k]));
        acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w[k]));
      }
      _mm_storeu_si128(
          reinterpret_cast<__m128i*>(out + i),
          _mm_packs_epi32(_mm_srai_epi32(acc0, kVerticalShift), _mm_srai_epi32(acc1, kVerticalShift)));
      _mm_storeu_si128(
          reinterpret_cast<__m128i*>(out + i + 8),
          _mm_packs_epi32(_mm_srai_epi32(acc2, kVerticalShift), _mm_srai_epi32(acc3, kVerticalShift)));
    }
  }
#endif
  for (; i < lanes; ++i) {
    int acc = 1 << (kVerticalShift - 1);
    for (int k = 0; k < n; ++k) acc += weights[k] * rows[k][i];
    out[i] = static_cast<std::int16_t>(acc >> kVerticalShift);
  }
}

// The vertical pass where the height stays: one source row weighed by one, which is a shift.
void RowToMid(const std::uint8_t* line, std::size_t lanes, std::int16_t* out, ResizeSimd simd) {
  std::size_t i = simd == ResizeSimd::Avx2 ? RowToMidAvx2(line, lanes, out) : 0;
#if defined(__SSE2__)
  if (simd != ResizeSimd::Plain) {
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= lanes; i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                       _mm_slli_epi16(_mm_unpacklo_epi8(bytes, zero), kMidBits));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8),
                       _mm_slli_epi16(_mm_unpackhi_epi8(bytes, zero), kMidBits));
    }
  }
#endif
  for (; i < lanes; ++i) out[i] = static_cast<std::int16_t>(line[i] << kMidBits);
}

#if defined(__SSE2__)
// One destination pixel's sums over its tap pairs, with the rounding term.
template <int kPairs>
inline __m128i PixelSums(const std::int16_t* row, const Taps& taps, const PairWeight* pairs, int pairCount,
                         int x) {
  const std::int16_t* p = row + static_cast<std::size_t>(taps.first[x]) * kChannels;
  const PairWeight* w = pairs + static_cast<std::size_t>(x) * pairCount;
  __m128i acc = _mm_set1_epi32(1 << (kHorizontalShift - 1));
  for (int k = 0; k < (kPairs > 0 ? kPairs : pairCount); ++k, p += 2 * kChannels) {
    // Both taps' channels side by side; the fourth lane belongs to the next pixel and weighs 0.
    const __m128i both = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + kChannels)));
    acc = _mm_add_epi32(acc, _mm_madd_epi16(both, _mm_load_si128(reinterpret_cast<const __m128i*>(&w[k]))));
  }
  return _mm_srai_epi32(acc, kHorizontalShift);
}

// The horizontal pass for a known number of tap pairs (0: any), so the common counts unroll fully;
// two pixels at a time share the packing and the store.
template <int kPairs>
void HorizontalPassSse2(const std::int16_t* row, const Taps& taps, const PairWeight* pairs, int x,
                        int dstWidth, std::uint8_t* out) {
  const int pairCount = taps.count / 2;
  for (; x + 2 <= dstWidth; x += 2) {
    const __m128i words = _mm_packs_epi32(PixelSums<kPairs>(row, taps, pairs, pairCount, x),
                                          PixelSums<kPairs>(row, taps, pairs, pairCount, x + 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + static_cast<std::size_t>(x) * 4),
                     _mm_packus_epi16(words, words));
  }
  if (x < dstWidth) {
    const __m128i words =
        _mm_packs_epi32(PixelSums<kPairs>(row, taps, pairs, pairCount, x), _mm_setzero_si128());
    const std::uint32_t pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
    std::memcpy(out + static_cast<std::size_t>(x) * 4, &pixel, 4);
  }
}
#endif

// One row of `kChannels` samples per pixel with kMidBits fraction bits to `dstWidth` pixels 0x00RRGGBB.
// `row` holds srcWidth + taps.count + 1 pixels, the tail zero, so every tap may be read.
void HorizontalPass(const std::int16_t* row, const Taps& taps, const PairWeight* pairs,
                    const TwinPairWeight* twins, int dstWidth, std::uint8_t* out, ResizeSimd simd) {
  int x = simd == ResizeSimd::Avx2 ? HorizontalPassAvx2(row, taps, twins, dstWidth, out) : 0;
#if defined(__SSE2__)
  if (simd != ResizeSimd::Plain) {
    switch (taps.count / 2) {
      case 1: return HorizontalPassSse2<1>(row, taps, pairs, x, dstWidth, out);
      case 2: return HorizontalPassSse2<2>(row, taps, pairs, x, dstWidth, out);
      case 3: return HorizontalPassSse2<3>(row, taps, pairs, x, dstWidth, out);
      case 4: return HorizontalPassSse2<4>(row, taps, pairs, x, dstWidth, out);
      case 5: return HorizontalPassSse2<5>(row, taps, pairs, x, dstWidth, out);
      case 6: return HorizontalPassSse2<6>(row, taps, pairs, x, dstWidth, out);
      default: return HorizontalPassSse2<0>(row, taps, pairs, x, dstWidth, out);
    }
  }
#else
  (void)pairs;
#endif
  for (; x < dstWidth; ++x) {
    const std::int16_t* p = row + static_cast<std::size_t>(taps.first[x]) * kChannels;
    const std::int16_t* w = &taps.weights[static_cast<std::size_t>(x) * taps.count];
    int acc[kChannels] = {};
    for (int k = 0; k < taps.count; ++k, p += kChannels)
      for (int c = 0; c < kChannels; ++c) acc[c] += w[k] * p[c];
    std::uint8_t* o = out + static_cast<std::size_t>(x) * 4;
    for (int c = 0; c < kChannels; ++c)
      o[c] = static_cast<std::uint8_t>(
          std::clamp((acc[c] + (1 << (kHorizontalShift - 1))) >> kHorizontalShift, 0, 255));
    o[3] = 0;
  }
}

// The pair weights of pixels 2j and 2j + 1 side by side, pair by pair; a last odd pixel pairs with zeros.
std::vector<TwinPairWeight> TwinPairWeights(const Taps& taps, const std::vector<PairWeight>& pairs) {
  const std::size_t pairCount = static_cast<std::size_t>(taps.count) / 2, pixels = taps.first.size();
  std::vector<TwinPairWeight> twins((pixels + 1) / 2 * pairCount, TwinPairWeight{});
  for (std::size_t x = 0; x < pixels; ++x)
    for (std::size_t k = 0; k < pairCount; ++k)
      twins[x / 2 * pairCount + k].pixel[x % 2] = pairs[x * pairCount + k];
  return twins;
}

// Everything about a resampling that depends only on the sizes. The video thread resamples every
// picture at the same sizes, so it keeps the last one.
struct Plan {
  int srcWidth = 0, srcHeight = 0, width = 0, height = 0;
  Taps across, down;
  std::vector<PairWeight> acrossPairs, downPairs;
  std::vector<TwinPairWeight> acrossTwins;
};

const Plan& PlanFor(int srcWidth, int srcHeight, int width, int height) {
  thread_local Plan plan;
  if (plan.srcWidth != srcWidth || plan.srcHeight != srcHeight || plan.width != width ||
      plan.height != height) {
    plan.across = MakeTaps(srcWidth, width);
    plan.down = MakeTaps(srcHeight, height);
    plan.acrossPairs = PairWeights(plan.across);
    plan.downPairs = PairWeights(plan.down);
    plan.acrossTwins = TwinPairWeights(plan.across, plan.acrossPairs);
    plan.srcWidth = srcWidth, plan.srcHeight = srcHeight, plan.width = width, plan.height = height;
  }
  return plan;
}

// Neither side changes: the rescale is a copy, as FreeImage's is.
void Copy(const std::vector<const std::uint8_t*>& rows, int width, void* bits, int pitch, ResizeSimd simd) {
  for (std::size_t y = 0; y < rows.size(); ++y) {
    const std::uint8_t* line = rows[y];
    auto* out = static_cast<std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch;
    int x = simd == ResizeSimd::Avx2 ? WidenRowAvx2(line, width, out) : 0;
    line += static_cast<std::size_t>(x) * kChannels, out += static_cast<std::size_t>(x) * 4;
    for (; x < width; ++x, out += 4, line += kChannels)
      out[0] = line[0], out[1] = line[1], out[2] = line[2], out[3] = 0;
  }
}

}  // namespace

ResizeSimd FastestResizeSimd() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return ResizeSimd::Avx2;
#endif
#if defined(__SSE2__)
  return ResizeSimd::Sse2;
#else
  return ResizeSimd::Plain;
#endif
}

bool ResizeBspline(FIBITMAP* source, int width, int height, void* bits, int pitch) {
  return ResizeBspline(source, width, height, bits, pitch, FastestResizeSimd());
}

bool ResizeBspline(FIBITMAP* source, int width, int height, void* bits, int pitch, ResizeSimd simd) {
  if (source == nullptr || bits == nullptr || width <= 0 || height <= 0) return false;
  const unsigned bpp = FreeImage_GetBPP(source);
  if (FreeImage_GetImageType(source) != FIT_BITMAP || (bpp != 24 && bpp != 8)) return false;
  const int srcWidth = static_cast<int>(FreeImage_GetWidth(source));
  const int srcHeight = static_cast<int>(FreeImage_GetHeight(source));
  if (srcWidth <= 0 || srcHeight <= 0 || pitch < width * 4) return false;
  // Never an instruction set this processor lacks.
  simd = std::min(simd, FastestResizeSimd());
  FIBITMAP* colour = bpp == 24 ? source : FreeImage_ConvertTo24Bits(source);
  if (colour == nullptr) return false;

  // Source rows top first (FreeImage keeps the bottom row first).
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(srcHeight));
  for (int y = 0; y < srcHeight; ++y) rows[y] = FreeImage_GetScanLine(colour, srcHeight - 1 - y);

  if (srcWidth == width && srcHeight == height) {
    Copy(rows, width, bits, pitch, simd);
  } else {
    const Plan& plan = PlanFor(srcWidth, srcHeight, width, height);
    const std::size_t lanes = static_cast<std::size_t>(srcWidth) * kChannels;
    // The row stays allocated between pictures. The zero tail covers the taps past the right edge and
    // the horizontal passes' loads of 4 and 8 samples.
    thread_local std::vector<std::int16_t> mid;
    const std::size_t midLanes = lanes + (static_cast<std::size_t>(plan.across.count) + 2) * kChannels;
    if (mid.size() < midLanes) mid.resize(midLanes);
    std::fill(mid.begin() + static_cast<std::ptrdiff_t>(lanes),
              mid.begin() + static_cast<std::ptrdiff_t>(midLanes), 0);
    const Taps& down = plan.down;
    for (int y = 0; y < height; ++y) {
      const int first = down.first[y];
      const int n = std::min(down.count, srcHeight - first);
      if (srcHeight == height)
        RowToMid(rows[y], lanes, mid.data(), simd);
      else
        VerticalPass(&rows[first], &down.weights[static_cast<std::size_t>(y) * down.count],
                     &plan.downPairs[static_cast<std::size_t>(y) * down.count / 2], n, lanes, mid.data(),
                     simd);
      HorizontalPass(mid.data(), plan.across, plan.acrossPairs.data(), plan.acrossTwins.data(), width,
                     static_cast<std::uint8_t*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch, simd);
    }
  }
  if (colour != source) FreeImage_Unload(colour);
  return true;
}
