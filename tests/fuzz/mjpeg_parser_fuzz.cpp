// Fuzz target for the stream parser: any bytes, any block cuts, the same findings and no out-of-bounds
// access.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "video/stream/mjpeg_parser.h"

namespace {

class Log : public MjpegEvents {
 public:
  void PictureBytes(const char* data, int len) override {
    if (len <= 0) std::abort();
    current += static_cast<std::size_t>(len);
    if (current > static_cast<std::size_t>(kMaxPictureLength)) std::abort();
    for (int i = 0; i < len; ++i) hash = hash * 31 + static_cast<unsigned char>(data[i]);
  }
  void CallFlag(char flag) override { text += 'F', text += flag; }
  void TitleComplete(const char* title, int len) override {
    if (len < 0 || len > kMaxTitleBytes || title[len] != '\0') std::abort();
    text += 'T';
    text.append(title, static_cast<std::size_t>(len));
  }
  bool PictureComplete() override {
    text += 'P' + std::to_string(current) + ':' + std::to_string(hash);
    current = 0;
    return true;
  }
  void PartAbandoned() override {
    text += 'A';
    current = 0;
  }

  std::string text;
  std::size_t current = 0;
  std::uint64_t hash = 0;
};

}  // namespace

// The first byte chooses the cuts; the rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const unsigned cutSeed = data[0];
  const char* stream = reinterpret_cast<const char*>(data + 1);
  const int len = static_cast<int>(size - 1);

  Log whole;
  MjpegParser a;
  a.Feed(stream, len, whole);

  Log cut;
  MjpegParser b;
  unsigned state = cutSeed * 2654435761u + 1;
  for (int at = 0; at < len;) {
    state = state * 1103515245u + 12345u;
    const int block = std::min(len - at, 1 + static_cast<int>((state >> 16) % 1024));
    // Each block in its own buffer, so that reading past its end is caught.
    std::vector<char> copy(stream + at, stream + at + block);
    b.Feed(copy.data(), block, cut);
    at += block;
  }
  if (whole.text != cut.text || whole.current != cut.current) std::abort();
  return 0;
}
