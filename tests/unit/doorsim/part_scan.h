// Cuts a received stream into parts at the distances a client relies on, for checking what the unit sent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/doorsim/doorsim.h"

namespace doorsim_test {

struct ScannedPart {
  size_t literalAt = 0;  // where the header literal starts
  std::string digits;    // the length field as sent
  char flag = 0;         // the byte 16 after the one that ends the digits
  std::string title;     // from 9 bytes after the flag up to CR or LF
  size_t pictureAt = 0;  // 4 bytes after the end of the title
  std::string picture;   // the length field's count of bytes from pictureAt (empty for a bad field)
};

// Every complete part from the start of `data`; a part cut off at the end is left out.
inline std::vector<ScannedPart> ScanParts(std::string_view data) {
  std::vector<ScannedPart> parts;
  size_t pos = 0;
  for (;;) {
    const size_t at = data.find(doorsim::kHeaderLiteral, pos);
    if (at == std::string_view::npos) return parts;
    ScannedPart p;
    p.literalAt = at;
    size_t i = at + doorsim::kHeaderLiteral.size();
    while (i < data.size() && data[i] >= '0' && data[i] <= '9') p.digits += data[i++];
    const size_t flagAt = i + 16;
    if (flagAt >= data.size()) return parts;
    p.flag = data[flagAt];
    size_t t = flagAt + 1 + 9;
    const size_t titleEnd = data.find_first_of("\r\n", t);
    if (titleEnd == std::string_view::npos) return parts;
    p.title = data.substr(t, titleEnd - t);
    p.pictureAt = titleEnd + 4;
    size_t length = 0;
    if (!p.digits.empty() && p.digits.size() <= 9) length = std::stoul(p.digits);
    if (p.pictureAt + length > data.size()) return parts;
    p.picture = data.substr(p.pictureAt, length);
    parts.push_back(p);
    pos = p.pictureAt + length;
  }
}

inline std::string_view AsText(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace doorsim_test
