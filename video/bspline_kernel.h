// What the resampler's passes share: the fixed-point layout, the taps and the AVX2 passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bspline {

// Weights are fixed point with 14 fraction bits; the intermediate rows keep 6 fraction bits, which
// leaves the final rounding as the only visible one and fits the products into 32 bits.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kMidBits = 6;
constexpr int kVerticalShift = kWeightBits - kMidBits;
constexpr int kHorizontalShift = kWeightBits + kMidBits;
constexpr int kChannels = 3;  // blue, green, red: the picture's own layout

// For each destination pixel along one axis: the first source pixel it reads and `count` weights
// (those past the filter's reach are 0). `count` is even so both passes can take taps in pairs.
struct Taps {
  int count = 0;
  std::vector<int> first;
  std::vector<std::int16_t> weights;
};

// Weights of tap pairs (k, k + 1) for pmaddwd, ready to be used straight from memory: the pair for
// each of the three channels, and 0 for the fourth lane, which a load of three channels drags along.
struct alignas(16) PairWeight {
  std::uint32_t lanes[4];
};

// The pair weights of two neighbouring destination pixels side by side, for one 256-bit pmaddwd.
struct alignas(32) TwinPairWeight {
  PairWeight pixel[2];
};

// The vertical pass over the leading lanes that fill whole 16-sample blocks; returns how many lanes
// it wrote. Only for a processor with AVX2.
std::size_t VerticalPassAvx2(const std::uint8_t* const* rows, const PairWeight* pairs, int n,
                             std::size_t lanes, std::int16_t* out);
// The horizontal pass for the leading pixels that fill whole groups of four; returns how many pixels
// it wrote. `twins` holds taps.count / 2 twin weights per pixel pair. Only for a processor with AVX2.
int HorizontalPassAvx2(const std::int16_t* row, const Taps& taps, const TwinPairWeight* twins, int dstWidth,
                       std::uint8_t* out);

// The leading lanes of one source row as they leave the vertical pass when the height does not change
// (each sample shifted up by kMidBits); returns how many lanes it wrote. Only with AVX2.
std::size_t RowToMidAvx2(const std::uint8_t* line, std::size_t lanes, std::int16_t* out);

// Copies the leading pixels of a row of 3-byte pixels into 4-byte ones with a zero fourth byte, up to
// where a 16-byte load would pass the row's end; returns how many pixels it wrote. Only for a
// processor with AVX2.
int WidenRowAvx2(const std::uint8_t* line, int width, std::uint8_t* out);

}  // namespace bspline
