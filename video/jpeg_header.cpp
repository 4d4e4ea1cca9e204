// Reading a JPEG file's frame size and end marker without decoding it.
#include "video/jpeg_header.h"

#include <algorithm>
#include <cstring>

namespace {

// Trailing bytes allowed after the end-of-image marker: some cameras pad a picture.
constexpr long kTailWindow = 64;

int ReadByte(FILE* file) { return std::getc(file); }

// A big-endian 16-bit value, or -1 at the end of the file.
int ReadWord(FILE* file) {
  const int hi = ReadByte(file);
  const int lo = ReadByte(file);
  return hi < 0 || lo < 0 ? -1 : (hi << 8) | lo;
}

bool IsFrameMarker(int marker) {
  // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range.
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool FindFrameSize(FILE* file, JpegHeader* header) {
  if (ReadByte(file) != 0xFF || ReadByte(file) != 0xD8) return false;
  for (;;) {
    int c = ReadByte(file);
    while (c >= 0 && c != 0xFF) c = ReadByte(file);       // stray bytes between segments
    while (c == 0xFF) c = ReadByte(file);                 // fill bytes
    if (c < 0 || c == 0xD9 || c == 0xDA) return false;    // end of data or a scan before any frame
    if (c == 0x01 || (c >= 0xD0 && c <= 0xD7)) continue;  // markers without a length
    const int length = ReadWord(file);
    if (length < 2) return false;
    if (IsFrameMarker(c)) {
      if (length < 7 || ReadByte(file) < 0) return false;  // sample precision
      const int height = ReadWord(file);
      const int width = ReadWord(file);
      if (height <= 0 || width <= 0 || height > kMaxPictureSide || width > kMaxPictureSide) return false;
      header->width = width;
      header->height = height;
      return true;
    }
    if (std::fseek(file, length - 2, SEEK_CUR) != 0) return false;
  }
}

bool EndsWithEndMarker(FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file);
  if (size < 4) return false;
  const long tail = std::min(size, kTailWindow);
  unsigned char bytes[kTailWindow];
  if (std::fseek(file, size - tail, SEEK_SET) != 0 ||
      std::fread(bytes, 1, static_cast<std::size_t>(tail), file) != static_cast<std::size_t>(tail))
    return false;
  // Entropy-coded data never holds FF D9, so only the real end marker matches.
  for (long i = tail - 2; i >= 0; --i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) return true;
  return false;
}

}  // namespace

bool ReadJpegHeader(FILE* file, JpegHeader* header) {
  if (file == nullptr || header == nullptr || std::fseek(file, 0, SEEK_SET) != 0) return false;
  JpegHeader found;
  const bool ok = FindFrameSize(file, &found) && EndsWithEndMarker(file);
  if (std::fseek(file, 0, SEEK_SET) != 0 || !ok) return false;
  *header = found;
  return true;
}

int DecodeSizeHint(int sourceWidth, int sourceHeight, int width, int height) {
  if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0) return 0;
  // The decoder picks its scale from the longer side alone; asking for the longer side that keeps
  // both of our sides covered never leaves the shorter one under-sampled.
  const long long longer = std::max(sourceWidth, sourceHeight);
  const long long across = (width * longer + sourceWidth - 1) / sourceWidth;
  const long long down = (height * longer + sourceHeight - 1) / sourceHeight;
  const long long wanted = std::max(across, down);
  // The hint travels in the high 16 bits of a signed int.
  return wanted > 32767 ? 0 : static_cast<int>(wanted);
}
