// The settings text cut into classified lines, with the byte offsets the editor works on.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace profile {

enum class LineKind { Other, Comment, Section, Key };

struct Line {
  LineKind kind = LineKind::Other;
  std::size_t begin = 0;       // first byte; on the first line, after a byte order mark
  std::size_t contentEnd = 0;  // before the line ending
  std::size_t end = 0;         // after the line ending
  std::string_view name;       // section or key name, trimmed
  std::string_view value;      // key value, trimmed, outer quotes removed
};

// Never fails: a damaged text gives whatever lines can still be recognised.
std::vector<Line> SplitLines(std::string_view text);

std::string_view TrimBlanks(std::string_view s);
// What a key line's value text reads as: trimmed, outer quotes removed.
std::string_view ValueAsRead(std::string_view s);
bool NamesEqual(std::string_view a, std::string_view b);

constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
// The first section header called name, or kNoLine.
std::size_t FindSection(const std::vector<Line>& lines, std::string_view name);
// The line after the last line of the section whose header is at index header.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header);
// The first key line called name in [from, to), or kNoLine.
std::size_t FindKey(const std::vector<Line>& lines, std::size_t from, std::size_t to, std::string_view name);

}  // namespace profile
