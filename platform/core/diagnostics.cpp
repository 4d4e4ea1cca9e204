// Diagnostics on stderr: one line, written with a single call so that threads do not interleave.
#include "platform/core/diagnostics.h"

#include <unistd.h>

#include <cstdio>

void Diag(DiagLevel level, const char* format, ...) {
  const char* name = level == DiagLevel::Error ? "error" : level == DiagLevel::Warning ? "warning" : "info";
  char line[1024];
  int n = std::snprintf(line, sizeof line, "kestrova[%d] %s: ", static_cast<int>(getpid()), name);
  va_list args;
  va_start(args, format);
  int m = std::vsnprintf(line + n, sizeof line - n - 1, format, args);
  va_end(args);
  int len = n + (m < 0 ? 0 : m);
  if (len > static_cast<int>(sizeof line) - 2) len = sizeof line - 2;
  line[len++] = '\n';
  ssize_t ignored = write(STDERR_FILENO, line, len);
  (void)ignored;
}
