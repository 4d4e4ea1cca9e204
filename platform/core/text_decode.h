// Turning the program's byte texts (titles from the network, settings) into UTF-8 for display.
#pragma once

#include <string>

// Valid UTF-8 stays as it is; anything else is read as Latin-1, so that no byte is lost.
std::string BytesToUtf8(const char* text, int len);
