// Writing small 24-bit BMP files, the format of replacement skin pieces.
#include "tests/support/bmp_writer.h"

#include <fstream>

namespace test_support {

namespace {

void PutLe(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

bool WriteBmp(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height) return false;
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(height);
  std::vector<unsigned char> out;
  out.reserve(54 + dataBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + dataBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<std::uint32_t>(width), 4);
  PutLe(out, static_cast<std::uint32_t>(height), 4);  // positive: rows stored bottom-up
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);  // uncompressed
  PutLe(out, dataBytes, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    for (int x = 0; x < width; ++x) PutLe(out, pixels[static_cast<std::size_t>(y) * width + x], 3);
    out.resize(rowStart + rowBytes, 0);
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

bool WriteBmp(const std::string& path, int width, int height, std::uint32_t colour) {
  if (width <= 0 || height <= 0) return false;
  return WriteBmp(path, width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour));
}

}  // namespace test_support
