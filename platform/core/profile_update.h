// Changing the settings file while other processes may be changing it too.
#pragma once

#include <functional>
#include <string>

namespace profile {

// Under an exclusive lock on "<path>.lock": reads the file (empty when missing), lets edit change
// the text, and when edit returns true replaces the file atomically with the result. Readers see
// the old or the new file, never a mix. A new file gets mode 0600, an existing one keeps its mode;
// a symbolic link stays a link and its target is replaced. False when the file could not be read
// or replaced; no temporary file is left behind then.
// A copy that stopped while holding the lock (a debugger, SIGSTOP) must not freeze the others: the longest
// a write waits for the lock before it fails (shortened for tests, see bounds.h).
constexpr int kLockWaitMs = 5000;

struct UpdateOptions {
  // The text will hold a secret: a file of another user's is not written, and one that others may
  // read is made 0600 first.
  bool secret = false;
  // Receives, when the update fails, why, in words a message box can show.
  std::string* why = nullptr;
};
bool UpdateFile(const char* path, const std::function<bool(std::string&)>& edit,
                const UpdateOptions& options = {});

}  // namespace profile
