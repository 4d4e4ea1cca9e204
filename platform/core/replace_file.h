// Replacing a file's whole text atomically.
#pragma once

#include <sys/types.h>

#include <string>

// Writes text to a temporary file beside path (mode `mode`), syncs it and renames it over path, so
// readers see the old or the new file, never a mix. False (with a diagnostic) when it could not; no
// temporary file is left behind then, and error (when given) receives the reason's errno.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode, int* error = nullptr);
