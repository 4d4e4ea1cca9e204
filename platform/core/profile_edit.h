// Changing one key or section of settings text while every other byte stays as it was.
#pragma once

#include <string>
#include <string_view>

namespace profile {

// Names and values that could not be read back as written, or would add lines to the file.
bool ValidSectionName(std::string_view name);
bool ValidKeyName(std::string_view name);
bool ValidValue(std::string_view value);
// The value as it goes into the file so that it reads back as given: quoted when reading would trim
// its blanks or take its enclosing quotes away.
std::string StoredValue(std::string_view value);

// Each returns whether text changed. Names must have passed the checks above.
bool SetKey(std::string& text, std::string_view section, std::string_view key, std::string_view value);
bool DeleteKey(std::string& text, std::string_view section, std::string_view key);
bool DeleteSection(std::string& text, std::string_view section);

}  // namespace profile
