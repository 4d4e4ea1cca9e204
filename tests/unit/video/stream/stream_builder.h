// Picture streams for the video tests: parts laid out as the unit sends them, and a recorder of what the
// parser finds.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "video/stream/mjpeg_parser.h"

namespace video_test {

struct PartFields {
  PartFields(std::string pictureBytes, char flagByte = '0', std::string titleText = "Front door")
      : picture(std::move(pictureBytes)), flag(flagByte), title(std::move(titleText)) {}
  // A length field of its own, possibly with no digit.
  PartFields& Length(std::string field) {
    length = std::move(field);
    useLength = true;
    return *this;
  }
  PartFields& TitleEnd(std::string bytes) {
    titleEnd = std::move(bytes);
    return *this;
  }

  std::string picture;  // the picture bytes (first byte 0xFF for a good part)
  char flag;
  std::string title;
  std::string length;
  bool useLength = false;
  std::string titleEnd = "\r\n\r\n";
};

// Boundary line, header literal, length, flag and title lines, picture, CR LF.
std::string Part(const PartFields& fields);
// A picture-like payload: 0xFF 0xD8, random bytes (with stray 'C's and CR/LF), 0xFF 0xD9.
std::string Payload(std::mt19937& rng, int size);

// Everything the parser reported, in order, as text that two runs can be compared by.
class Recorder : public MjpegEvents {
 public:
  void PictureBytes(const char* data, int len) override {
    current.append(data, static_cast<std::size_t>(len));
  }
  void CallFlag(char flag) override {
    flags.push_back(flag);
    log += "F" + std::string(1, flag) + " ";
  }
  void TitleComplete(const char* title, int len) override {
    titles.emplace_back(title, static_cast<std::size_t>(len));
    log += "T[" + titles.back() + "] ";
  }
  bool PictureComplete() override {
    pictures.push_back(current);
    log += "P" + std::to_string(current.size()) + " ";
    current.clear();
    return !stopAfterPicture;
  }
  void PartAbandoned() override {
    ++abandoned;
    log += "A ";
    current.clear();
  }

  std::vector<std::string> pictures;
  std::vector<char> flags;
  std::vector<std::string> titles;
  std::string current;
  std::string log;
  int abandoned = 0;
  bool stopAfterPicture = false;
};

// Feeds the stream in blocks of `block` bytes.
void FeedInBlocks(MjpegParser& parser, const std::string& stream, int block, MjpegEvents& events);
// Feeds the stream cut at random places (blocks of 1 to 1024 bytes).
void FeedRandomCuts(MjpegParser& parser, const std::string& stream, std::uint32_t seed, MjpegEvents& events);

}  // namespace video_test
