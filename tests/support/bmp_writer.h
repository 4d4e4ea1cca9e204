// Writing small 24-bit BMP files, the format of replacement skin pieces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// Writes a width x height BMP of the pixels (0x00RRGGBB, row by row from the top); false on failure.
bool WriteBmp(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);
// Writes a width x height BMP of one colour (0x00RRGGBB).
bool WriteBmp(const std::string& path, int width, int height, std::uint32_t colour);

}  // namespace test_support
