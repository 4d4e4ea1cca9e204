// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <set>
#include <string>

namespace test_support {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // path()/name
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The names directly inside the folder.
  std::set<std::string> Entries() const;

 private:
  std::string path_;
};

// The whole content of a file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& content);

}  // namespace test_support
