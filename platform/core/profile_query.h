// Looking values and names up in settings text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace profile {

// The value of the first matching key in the first matching section; a view into text.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key);

// Names each followed by a NUL, in file order, every name once (later duplicates cannot be
// reached by a lookup, so they are not listed).
std::string ListKeys(std::string_view text, std::string_view section);
std::string ListSections(std::string_view text);

}  // namespace profile
