// Decoding of byte texts: UTF-8 when valid, else Latin-1.
#include "platform/core/text_decode.h"

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const unsigned char* s, int len) {
  int i = 0;
  while (i < len) {
    const unsigned char c = s[i];
    int extra;
    unsigned min;
    unsigned code;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if ((c & 0xE0) == 0xC0) {
      extra = 1;
      min = 0x80;
      code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      min = 0x800;
      code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      min = 0x10000;
      code = c & 0x07;
    } else
      return false;
    if (i + extra >= len) return false;  // a sequence cut by the end of the text
    for (int k = 1; k <= extra; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (s[i + k] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string BytesToUtf8(const char* text, int len) {
  if (text == nullptr || len <= 0) return {};
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (IsValidUtf8(bytes, len)) return std::string(text, static_cast<std::size_t>(len));
  std::string out;
  out.reserve(static_cast<std::size_t>(len) * 2);
  for (int i = 0; i < len; ++i) {
    if (bytes[i] < 0x80) {
      out += static_cast<char>(bytes[i]);
    } else {
      out += static_cast<char>(0xC0 | (bytes[i] >> 6));
      out += static_cast<char>(0x80 | (bytes[i] & 0x3F));
    }
  }
  return out;
}
