// Diagnostics on stderr with a level; the program keeps no log file.
#pragma once

#include <cstdarg>

enum class DiagLevel { Info, Warning, Error };

// printf-style; one line per call, prefixed with the program name and the level.
void Diag(DiagLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));
