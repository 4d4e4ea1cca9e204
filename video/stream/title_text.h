// The unit's title line made into text that can be shown: UTF-8, no control characters, bounded.
#pragma once

#include <string>

// Valid UTF-8 stays, anything else is read as Latin-1; control characters become spaces; the
// result is cut to at most maxBytes on a character boundary.
std::string TitleText(const char* bytes, int len, int maxBytes);
