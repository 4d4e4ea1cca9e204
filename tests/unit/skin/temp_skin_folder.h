// A temporary current folder with an empty "Skin" subfolder, for loading replacement skin pieces.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace skin_test {

// The skin is loaded relative to the current folder, so each test runs inside a fresh one and
// returns to the old one afterwards, whatever the test did.
class TempSkinFolder {
 public:
  TempSkinFolder() : old_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-skin-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
    dir_ = pattern;
    std::filesystem::create_directory(dir_ / "Skin");
    std::filesystem::current_path(dir_);
  }
  ~TempSkinFolder() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }
  TempSkinFolder(const TempSkinFolder&) = delete;
  TempSkinFolder& operator=(const TempSkinFolder&) = delete;

  static std::string Piece(const std::string& name) { return File(name + ".bmp"); }
  static std::string File(const std::string& name) { return "Skin/" + name; }

  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

 private:
  std::filesystem::path old_, dir_;
};

}  // namespace skin_test
