// Reading the settings file: one open descriptor, so a file replaced meanwhile is read whole or not at all.
#include "platform/core/profile_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/diagnostics.h"

namespace profile {

namespace {

ReadResult TooLarge(const char* path, std::string& text) {
  Diag(DiagLevel::Warning, "settings file %s is larger than %zu bytes and is ignored", path, kMaxFileSize);
  text.clear();
  return ReadResult::Failed;
}

ReadResult ReadOpen(int fd, const char* path, std::string& text, mode_t* mode) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return ReadResult::Failed;
  if (static_cast<std::size_t>(st.st_size) > kMaxFileSize) return TooLarge(path, text);
  if (mode) *mode = st.st_mode & 07777;
  text.reserve(static_cast<std::size_t>(st.st_size));
  char chunk[16384];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      text.clear();
      return ReadResult::Failed;
    }
    if (n == 0) return ReadResult::Read;
    text.append(chunk, static_cast<std::size_t>(n));
    // An editor may still be appending to the file in place.
    if (text.size() > kMaxFileSize) return TooLarge(path, text);
  }
}

}  // namespace

ReadResult ReadWholeFile(const char* path, std::string& text, mode_t* mode) {
  text.clear();
  // O_NONBLOCK: a FIFO in the file's place must not hang the program.
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
  ReadResult result = ReadOpen(fd, path, text, mode);
  close(fd);
  return result;
}

}  // namespace profile
