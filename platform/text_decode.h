// Turning the program's byte texts into displayable text.
#pragma once

#include <QString>

// Valid UTF-8 is read as UTF-8; anything else as Latin-1, so that no byte is lost or dropped.
QString DecodeBytes(const char* text, int len);
