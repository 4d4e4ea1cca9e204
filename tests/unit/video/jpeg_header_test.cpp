// Tests of reading a JPEG file's frame size and end marker, and of the decode size hint.
#include "video/jpeg_header.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/pictures/test_pictures.h"
#include "tests/support/temp_folder.h"
#include "video/jpeg_file_io.h"

namespace {

using test_support::ReadFile;
using test_support::TempFolder;
using test_support::WriteFile;

class JpegHeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FIBITMAP* scene = test_pictures::MakeScene(1280, 720);
    ASSERT_TRUE(test_pictures::SaveJpeg(scene, folder_ / "scene.jpg"));
    FreeImage_Unload(scene);
    bytes_ = ReadFile(folder_ / "scene.jpg");
    ASSERT_GT(bytes_.size(), 1000u);
  }

  // Reads the header of `content`; also checks that the file is left at its start.
  bool Read(const std::string& content, JpegHeader* header) {
    const std::string path = folder_ / "probe.jpg";
    EXPECT_TRUE(WriteFile(path, content));
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    const bool ok = ReadJpegHeader(file, header);
    EXPECT_EQ(std::ftell(file), 0);
    std::fclose(file);
    return ok;
  }

  TempFolder folder_;
  std::string bytes_;
};

TEST_F(JpegHeaderTest, FrameSizeIsFoundPastLargeSegmentsAndPadding) {
  JpegHeader h;
  ASSERT_TRUE(Read(bytes_, &h));
  EXPECT_EQ(h.width, 1280);
  EXPECT_EQ(h.height, 720);

  // A 60000-byte application segment (as an embedded thumbnail would be) ahead of the frame.
  std::string withApp =
      bytes_.substr(0, 2) + "\xFF\xEF\xEA\x60" + std::string(60000 - 2, 'x') + bytes_.substr(2);
  h = {};
  ASSERT_TRUE(Read(withApp, &h));
  EXPECT_EQ(h.width, 1280);

  h = {};
  EXPECT_TRUE(Read(bytes_ + std::string(20, '\0'), &h)) << "padding after the end marker";
}

TEST_F(JpegHeaderTest, IncompleteForgedOrForeignFilesAreRefused) {
  JpegHeader h;
  EXPECT_FALSE(Read("", &h));
  EXPECT_FALSE(Read(bytes_.substr(0, bytes_.size() / 2), &h)) << "cut short";
  EXPECT_FALSE(Read(bytes_.substr(0, bytes_.size() - 1), &h)) << "last byte missing";
  EXPECT_FALSE(Read(std::string(5000, '\x33'), &h)) << "not a JPEG";
  EXPECT_FALSE(Read(std::string("\xFF\xD8\xFF\xDA\x00\x02\xFF\xD9", 8), &h)) << "scan before any frame";
  EXPECT_FALSE(Read(std::string("\xFF\xD8\xFF\xE0\x7F\xFF", 6), &h)) << "segment longer than the file";

  // A frame header claiming 9000 x 720: refused before the decoder would allocate for it.
  std::string forged = bytes_;
  const std::size_t sof = forged.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  forged[sof + 7] = static_cast<char>(9000 >> 8);
  forged[sof + 8] = static_cast<char>(9000 & 0xFF);
  EXPECT_FALSE(Read(forged, &h));
  EXPECT_EQ(h.width, 0) << "nothing stored on failure";
}

TEST(DecodeSizeHint, AsksForTheLongerSideThatCoversBothSides) {
  EXPECT_EQ(DecodeSizeHint(640, 480, 320, 240), 320);
  EXPECT_EQ(DecodeSizeHint(1280, 720, 320, 240), 427);  // the height needs more than the width
  EXPECT_EQ(DecodeSizeHint(1920, 1080, 960, 720), 1280);
  EXPECT_EQ(DecodeSizeHint(480, 640, 240, 320), 320);  // portrait
  EXPECT_EQ(DecodeSizeHint(640, 480, 0, 240), 0);
  EXPECT_EQ(DecodeSizeHint(0, 480, 320, 240), 0);
  EXPECT_EQ(DecodeSizeHint(8192, 8192, 40000, 10), 0) << "beyond what the flags can carry";
}

// The decoder really delivers at least the area in both directions with the hint.
TEST_F(JpegHeaderTest, HintedDecodeNeverComesOutSmallerThanTheArea) {
  const std::string path = folder_ / "scene.jpg";
  const int areas[][2] = {{320, 240}, {160, 90}, {161, 90},   {100, 300},
                          {640, 360}, {641, 10}, {1280, 720}, {1, 1}};
  for (const auto& a : areas) {
    SCOPED_TRACE(::testing::Message() << a[0] << "x" << a[1]);
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    FreeImageIO io = JpegFileIO();
    FIBITMAP* decoded =
        FreeImage_LoadFromHandle(FIF_JPEG, &io, file, DecodeSizeHint(1280, 720, a[0], a[1]) << 16);
    std::fclose(file);
    ASSERT_NE(decoded, nullptr);
    EXPECT_GE(static_cast<int>(FreeImage_GetWidth(decoded)), a[0]);
    EXPECT_GE(static_cast<int>(FreeImage_GetHeight(decoded)), a[1]);
    FreeImage_Unload(decoded);
  }
}

}  // namespace
