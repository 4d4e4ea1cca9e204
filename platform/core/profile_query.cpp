// Lookups in settings text: the first matching section and the first matching key win.
#include "platform/core/profile_query.h"

#include <vector>

#include "platform/core/profile_lines.h"

namespace profile {

namespace {

void AddOnce(std::vector<std::string_view>& seen, std::string& list, std::string_view name) {
  for (std::string_view s : seen) {
    if (NamesEqual(s, name)) return;
  }
  seen.push_back(name);
  list.append(name);
  list.push_back('\0');
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
  std::vector<Line> lines = SplitLines(text);
  std::size_t header = FindSection(lines, section);
  if (header == kNoLine) return std::nullopt;
  std::size_t at = FindKey(lines, header + 1, SectionEnd(lines, header), key);
  if (at == kNoLine) return std::nullopt;
  return lines[at].value;
}

std::string ListKeys(std::string_view text, std::string_view section) {
  std::vector<Line> lines = SplitLines(text);
  std::string list;
  std::size_t header = FindSection(lines, section);
  if (header == kNoLine) return list;
  std::vector<std::string_view> seen;
  std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind == LineKind::Key) AddOnce(seen, list, lines[i].name);
  }
  return list;
}

std::string ListSections(std::string_view text) {
  std::string list;
  std::vector<std::string_view> seen;
  for (const Line& line : SplitLines(text)) {
    if (line.kind == LineKind::Section) AddOnce(seen, list, line.name);
  }
  return list;
}

}  // namespace profile
