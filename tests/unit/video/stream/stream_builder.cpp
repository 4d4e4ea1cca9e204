// Picture streams for the video tests: parts laid out as the unit sends them, and a recorder of what the
// parser finds.
#include "tests/unit/video/stream/stream_builder.h"

#include <algorithm>

namespace video_test {

std::string Part(const PartFields& fields) {
  std::string out = "\r\n--frame\r\n";
  out += HLAVICKA;
  out += fields.useLength ? fields.length : std::to_string(fields.picture.size());
  out += "\r\nX-Call-State: ";  // 16 bytes from the end of the digits to the flag
  out += fields.flag;
  out += "\r\nTitle: ";  // 9 bytes from the flag to the title
  out += fields.title;
  out += fields.titleEnd;
  out += fields.picture;
  out += "\r\n";
  return out;
}

std::string Payload(std::mt19937& rng, int size) {
  std::string p(static_cast<std::size_t>(std::max(size, 4)), '\0');
  for (char& c : p) c = static_cast<char>(rng() & 0xFF);
  for (int i = 0; i < size / 50; ++i) p[rng() % p.size()] = "C\r\n"[rng() % 3];
  p[0] = static_cast<char>(0xFF);
  p[1] = static_cast<char>(0xD8);
  p[p.size() - 2] = static_cast<char>(0xFF);
  p[p.size() - 1] = static_cast<char>(0xD9);
  return p;
}

void FeedInBlocks(MjpegParser& parser, const std::string& stream, int block, MjpegEvents& events) {
  for (std::size_t at = 0; at < stream.size(); at += static_cast<std::size_t>(block)) {
    const int len =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(block), stream.size() - at));
    parser.Feed(stream.data() + at, len, events);
  }
}

void FeedRandomCuts(MjpegParser& parser, const std::string& stream, std::uint32_t seed, MjpegEvents& events) {
  std::mt19937 rng(seed);
  for (std::size_t at = 0; at < stream.size();) {
    const std::size_t len = std::min<std::size_t>(1 + rng() % 1024, stream.size() - at);
    parser.Feed(stream.data() + at, static_cast<int>(len), events);
    at += len;
  }
}

}  // namespace video_test
