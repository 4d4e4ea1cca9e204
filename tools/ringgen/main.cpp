// ringgen: writes the built-in ring as a mono 16-bit PCM WAV file. Usage: ringgen OUT.wav
#include <cstdio>
#include <string>

#include "tools/ringgen/ring.h"

namespace {

void Put16(std::string& out, unsigned v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string Wave(const std::vector<std::int16_t>& samples) {
  const unsigned dataBytes = static_cast<unsigned>(samples.size() * 2);
  std::string out = "RIFF";
  Put32(out, 36 + dataBytes);
  out += "WAVEfmt ";
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRingSampleRate);
  Put32(out, kRingSampleRate * 2);  // bytes per second
  Put16(out, 2);                    // bytes per frame
  Put16(out, 16);                   // bits per sample
  out += "data";
  Put32(out, dataBytes);
  for (std::int16_t s : samples) Put16(out, static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ringgen OUT.wav\n");
    return 2;
  }
  const std::string bytes = Wave(RingSamples());
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "ringgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
