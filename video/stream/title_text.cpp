// The unit's title line made into text that can be shown: UTF-8, no control characters, bounded.
#include "video/stream/title_text.h"

#include "platform/core/text_decode.h"

namespace {

// Length of the UTF-8 sequence that starts with c (the input is valid UTF-8).
int SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  return 4;
}

bool IsControl(const std::string& s, std::size_t i, int len) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (len == 1) return c < 0x20 || c == 0x7F;
  // U+0080..U+009F are encoded C2 80..C2 9F.
  return len == 2 && c == 0xC2 && static_cast<unsigned char>(s[i + 1]) <= 0x9F;
}

}  // namespace

std::string TitleText(const char* bytes, int len, int maxBytes) {
  const std::string decoded = BytesToUtf8(bytes, len);
  std::string out;
  out.reserve(decoded.size());
  for (std::size_t i = 0; i < decoded.size();) {
    int seq = SequenceLength(static_cast<unsigned char>(decoded[i]));
    if (i + static_cast<std::size_t>(seq) > decoded.size()) break;
    const bool control = IsControl(decoded, i, seq);
    const int outLen = control ? 1 : seq;
    if (static_cast<int>(out.size()) + outLen > maxBytes) break;
    if (control)
      out += ' ';
    else
      out.append(decoded, i, static_cast<std::size_t>(seq));
    i += static_cast<std::size_t>(seq);
  }
  return out;
}
