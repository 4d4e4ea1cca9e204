// The per-user runtime folder that holds the program's lock files.
#pragma once

#include <string>

// $XDG_RUNTIME_DIR/kestrova, or /tmp/kestrova-<uid> without it; created 0700 when missing.
// An existing folder is trusted only when it is a real directory of ours that nobody else can
// enter; otherwise "" is returned after a diagnostic. Worked out afresh on every call.
std::string RuntimeFolder();
