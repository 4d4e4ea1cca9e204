// The settings file calls: read and write one key of an INI file shared by every running copy.
#pragma once

#include <span>
#include <string>

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
// The number GetPrivateProfileInt reads from a stored value text (0 when it has no digits).
int ProfileNumber(const char* value);

// Values are written so that they read back as given: one with leading or trailing blanks, or
// enclosed in quotes, is written enclosed in double quotes.
// Sets key in section to value, creating the file (mode 0600) and the section as needed.
// value NULL deletes the key, key NULL deletes the whole section. Safe against other processes
// writing the same file at the same time. FALSE when the names or the value would break the
// file (line breaks, ']' in a section name, '=' in a key name, empty names) or the file could
// not be written.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);

// One key of a write of several.
struct ProfileKey {
  const char* section;
  const char* key;
  const char* value;
};
// Sets every key, in this order, in one locked, atomic replace of the file: other processes see all
// of them or none. With secret, a file of another user's is not written and one other users can read
// is made 0600 first. FALSE when nothing was written; why (when given) then says why, in words a
// message box can show.
BOOL WritePrivateProfileKeys(std::span<const ProfileKey> keys, const char* file, bool secret,
                             std::string* why);
