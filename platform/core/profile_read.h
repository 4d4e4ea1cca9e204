// Reading the whole settings file at once, with a bound on its size.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace profile {

// Far above any real settings file; a bigger one is not ours and is not worth parsing.
constexpr std::size_t kMaxFileSize = 1 << 20;

enum class ReadResult { Read, Missing, Failed };

// Missing only when the file does not exist; any other reason it cannot be read (a folder,
// no permission, over kMaxFileSize) is Failed. mode, when given, receives the permission bits.
ReadResult ReadWholeFile(const char* path, std::string& text, mode_t* mode = nullptr);

}  // namespace profile
