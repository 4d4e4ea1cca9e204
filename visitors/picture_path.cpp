// Picture paths by local date.
#include "visitors/picture_path.h"

#include <cstdio>
#include <ctime>

namespace visitors {

std::string PictureRelativePath(TimeMs startMs, long long id, int slot) {
  const std::time_t seconds = static_cast<std::time_t>(startMs / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char path[128];
  std::snprintf(path, sizeof path, "visitors/%04d/%02d/%02d/%lld-%lld-%d.jpg", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, static_cast<long long>(startMs), id, slot);
  return path;
}

std::string PictureFolder(const std::string& relative) {
  const std::size_t slash = relative.rfind('/');
  return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

}  // namespace visitors
