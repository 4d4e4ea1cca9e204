// The completeness check of BMP files.
#include "platform/core/bmp_check.h"

#include <cstdint>
#include <cstdlib>

namespace {

std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

}  // namespace

bool BmpPixelDataComplete(const unsigned char* bytes, std::size_t size) {
  if (bytes == nullptr || size < 26 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint32_t dataOffset = Le32(bytes + 10);
  const std::uint32_t headerSize = Le32(bytes + 14);
  if (headerSize == 12) {  // the old core header: 16-bit sizes, never compressed
    if (size < 26) return false;
    const std::uint64_t width = Le16(bytes + 18), height = Le16(bytes + 20), bits = Le16(bytes + 24);
    const std::uint64_t stride = (width * bits + 31) / 32 * 4;
    return dataOffset + stride * height <= size;
  }
  if (headerSize < 40 || size < 14 + 40) return false;
  const std::int32_t width = static_cast<std::int32_t>(Le32(bytes + 18));
  const std::int32_t height = static_cast<std::int32_t>(Le32(bytes + 22));
  const std::uint16_t bits = Le16(bytes + 28);
  const std::uint32_t compression = Le32(bytes + 30);
  if (width <= 0 || height == 0 || bits == 0) return false;
  if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
    return dataOffset < size;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(height)));
  return dataOffset + stride * rows <= size;
}
