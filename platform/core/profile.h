// The settings file calls: read and write one key of an INI file shared by every running copy.
#pragma once

#include "platform/core/types.h"

// The value of key in section, or deflt (NULL means "") when the file, the section or the key is
// missing; cut to width-1 characters and NUL-terminated. Returns the number of characters copied.
// key NULL lists the section's key names, section NULL lists the section names: each name is
// NUL-terminated and the list ends with an extra NUL; a list that does not fit is cut and
// returns width-2.
DWORD GetPrivateProfileString(const char* section, const char* key, const char* deflt, char* buffer,
                              DWORD width, const char* file);

// The leading decimal number of the value (sign allowed, clamped to the int range, 0 when there
// are no digits), or deflt when the file, the section or the key is missing or the value is empty.
int GetPrivateProfileInt(const char* section, const char* key, int deflt, const char* file);

// Sets key in section to value, creating the file (mode 0600) and the section as needed.
// value NULL deletes the key, key NULL deletes the whole section. Safe against other processes
// writing the same file at the same time. FALSE when the names or the value would break the
// file (line breaks, ']' in a section name, '=' in a key name, empty names) or the file could
// not be written.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);
