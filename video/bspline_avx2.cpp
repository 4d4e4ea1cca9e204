// The resampler's passes with 256-bit registers: the same integer sums as the 128-bit passes, so the
// same pixels, in about half the instructions.
#include <immintrin.h>

#include "video/bspline_kernel.h"

namespace bspline {

namespace {

// Sixteen 8-bit samples of two rows, widened and interleaved so pmaddwd weighs sample i of both rows
// into one sum; the 128-bit halves hold samples 0-3, 8-11 (lo) and 4-7, 12-15 (hi), which packssdw
// puts back in order.
__attribute__((target("avx2"))) inline void AddRowPair(const std::uint8_t* a, const std::uint8_t* b,
                                                       __m256i w, __m256i& lo, __m256i& hi) {
  const __m256i wa = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
  const __m256i wb = b != nullptr ? _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)))
                                  : _mm256_setzero_si256();
  lo = _mm256_add_epi32(lo, _mm256_madd_epi16(_mm256_unpacklo_epi16(wa, wb), w));
  hi = _mm256_add_epi32(hi, _mm256_madd_epi16(_mm256_unpackhi_epi16(wa, wb), w));
}

__attribute__((target("avx2"))) inline __m256i Words(__m256i lo, __m256i hi) {
  return _mm256_packs_epi32(_mm256_srai_epi32(lo, kVerticalShift), _mm256_srai_epi32(hi, kVerticalShift));
}

// Both taps of pair k for two pixels: eight 16-bit samples from each pixel's position, shuffled to
// blue, green, red of tap 2k then 2k+1 side by side, and a zero fourth lane.
__attribute__((target("avx2"))) inline __m256i TwinTaps(const std::int16_t* p0, const std::int16_t* p1) {
  const __m256i mask = _mm256_setr_epi8(0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1,  //
                                        0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1);
  const __m256i both =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p0))),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1)), 1);
  return _mm256_shuffle_epi8(both, mask);
}

// The sums of pixels x and x+1 (lanes 0-3 and 4-7), shifted down to 8 integer bits.
template <int kPairs>
__attribute__((target("avx2"))) inline __m256i TwinSums(const std::int16_t* row, const Taps& taps,
                                                        const TwinPairWeight* twins, int pairCount, int x) {
  const std::int16_t* p0 = row + static_cast<std::size_t>(taps.first[x]) * kChannels;
  const std::int16_t* p1 = row + static_cast<std::size_t>(taps.first[x + 1]) * kChannels;
  const TwinPairWeight* w = twins + static_cast<std::size_t>(x / 2) * pairCount;
  __m256i acc = _mm256_set1_epi32(1 << (kHorizontalShift - 1));
  for (int k = 0; k < (kPairs > 0 ? kPairs : pairCount); ++k, p0 += 2 * kChannels, p1 += 2 * kChannels)
    acc = _mm256_add_epi32(
        acc, _mm256_madd_epi16(TwinTaps(p0, p1), _mm256_load_si256(reinterpret_cast<const __m256i*>(&w[k]))));
  return _mm256_srai_epi32(acc, kHorizontalShift);
}

template <int kPairs>
__attribute__((target("avx2"))) int Horizontal(const std::int16_t* row, const Taps& taps,
                                               const TwinPairWeight* twins, int dstWidth, std::uint8_t* out) {
  const int pairCount = taps.count / 2;
  int x = 0;
  for (; x + 4 <= dstWidth; x += 4) {
    // packssdw keeps 128-bit halves apart: pixels 0, 2 | 1, 3 until the qwords are put in order.
    const __m256i words =
        _mm256_permute4x64_epi64(_mm256_packs_epi32(TwinSums<kPairs>(row, taps, twins, pairCount, x),
                                                    TwinSums<kPairs>(row, taps, twins, pairCount, x + 2)),
                                 0xD8);
    const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + static_cast<std::size_t>(x) * 4), bytes);
  }
  return x;
}

}  // namespace

__attribute__((target("avx2"))) std::size_t VerticalPassAvx2(const std::uint8_t* const* rows,
                                                             const PairWeight* pairs, int n,
                                                             std::size_t lanes, std::int16_t* out) {
  constexpr int kMaxPairs = 16;
  const int pairCount = (n + 1) / 2;
  if (pairCount > kMaxPairs) return 0;
  __m256i w[kMaxPairs];
  for (int k = 0; k < pairCount; ++k) w[k] = _mm256_set1_epi32(static_cast<int>(pairs[k].lanes[0]));
  const __m256i round = _mm256_set1_epi32(1 << (kVerticalShift - 1));
  std::size_t i = 0;
  for (; i + 32 <= lanes; i += 32) {
    __m256i lo0 = round, hi0 = round, lo1 = round, hi1 = round;
    for (int k = 0; k < pairCount; ++k) {
      const std::uint8_t* a = rows[2 * k] + i;
      const std::uint8_t* b = 2 * k + 1 < n ? rows[2 * k + 1] + i : nullptr;
      AddRowPair(a, b, w[k], lo0, hi0);
      AddRowPair(a + 16, b != nullptr ? b + 16 : nullptr, w[k], lo1, hi1);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Words(lo0, hi0));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 16), Words(lo1, hi1));
  }
  for (; i + 16 <= lanes; i += 16) {
    __m256i lo = round, hi = round;
    for (int k = 0; k < pairCount; ++k)
      AddRowPair(rows[2 * k] + i, 2 * k + 1 < n ? rows[2 * k + 1] + i : nullptr, w[k], lo, hi);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Words(lo, hi));
  }
  return i;
}

int HorizontalPassAvx2(const std::int16_t* row, const Taps& taps, const TwinPairWeight* twins, int dstWidth,
                       std::uint8_t* out) {
  switch (taps.count / 2) {
    case 1: return Horizontal<1>(row, taps, twins, dstWidth, out);
    case 2: return Horizontal<2>(row, taps, twins, dstWidth, out);
    case 3: return Horizontal<3>(row, taps, twins, dstWidth, out);
    case 4: return Horizontal<4>(row, taps, twins, dstWidth, out);
    case 5: return Horizontal<5>(row, taps, twins, dstWidth, out);
    case 6: return Horizontal<6>(row, taps, twins, dstWidth, out);
    default: return Horizontal<0>(row, taps, twins, dstWidth, out);
  }
}

__attribute__((target("avx2"))) std::size_t RowToMidAvx2(const std::uint8_t* line, std::size_t lanes,
                                                         std::int16_t* out) {
  std::size_t i = 0;
  for (; i + 16 <= lanes; i += 16)
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out + i),
        _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + i))),
                          kMidBits));
  return i;
}

__attribute__((target("avx2"))) int WidenRowAvx2(const std::uint8_t* line, int width, std::uint8_t* out) {
  const __m128i mask = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  int x = 0;
  // Four pixels per step read 16 bytes, 4 of them the next pixels': stop while 6 pixels remain.
  for (; x + 6 <= width; x += 4) {
    const __m128i in =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + static_cast<std::size_t>(x) * 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + static_cast<std::size_t>(x) * 4),
                     _mm_shuffle_epi8(in, mask));
  }
  return x;
}

}  // namespace bspline
