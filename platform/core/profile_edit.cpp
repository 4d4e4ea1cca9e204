// Editing settings text in place: only the lines of the changed key or section are touched.
#include "platform/core/profile_edit.h"

#include <vector>

#include "platform/core/profile_lines.h"

namespace profile {

namespace {

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// New lines follow the file's habit so that a file from Windows stays all CRLF.
std::string_view DominantLineEnding(std::string_view text) {
  std::size_t crlf = 0, lf = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ++(i > 0 && text[i - 1] == '\r' ? crlf : lf);
  }
  return crlf > lf ? "\r\n" : "\n";
}

// What must come before a line added right after `line` so that it starts on a line of its own.
std::string_view LineBreakAfter(std::string_view text, const Line& line, std::string_view eol) {
  if (line.end > line.begin && text[line.end - 1] == '\n') return {};
  // A CR with its LF missing: the writer was cut short in the middle of the line ending.
  if (line.end > line.contentEnd) return "\n";
  return eol;
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string s(key);
  s.push_back('=');
  s.append(value);
  return s;
}

}  // namespace

bool ValidSectionName(std::string_view name) {
  return !TrimBlanks(name).empty() && name.find(']') == std::string_view::npos && !HasLineBreak(name);
}

bool ValidKeyName(std::string_view name) {
  std::string_view trimmed = TrimBlanks(name);
  // A leading ';' or '[' would read back as a comment or a section header.
  return !trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '[' &&
         name.find('=') == std::string_view::npos && !HasLineBreak(name);
}

bool ValidValue(std::string_view value) { return !HasLineBreak(value); }

std::string StoredValue(std::string_view value) {
  if (ValueAsRead(value) == value) return std::string(value);
  std::string quoted("\"");
  quoted.append(value).push_back('"');
  return quoted;
}

bool SetKey(std::string& text, std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  std::vector<Line> lines = SplitLines(text);
  std::string_view eol = DominantLineEnding(text);

  std::size_t header = FindSection(lines, section);
  if (header == kNoLine) {
    std::string added;
    if (!lines.empty()) {
      added.append(LineBreakAfter(text, lines.back(), eol));
      const Line& last = lines.back();
      std::string_view content(text.data() + last.begin, last.contentEnd - last.begin);
      if (!TrimBlanks(content).empty()) added.append(eol);
    }
    added.append("[").append(section).append("]").append(eol);
    added.append(KeyLine(key, value)).append(eol);
    text.append(added);
    return true;
  }

  std::size_t end = SectionEnd(lines, header);
  std::size_t at = FindKey(lines, header + 1, end, key);
  if (at != kNoLine) {
    const Line& line = lines[at];
    std::string replacement = KeyLine(line.name, value);
    std::size_t length = line.contentEnd - line.begin;
    if (text.compare(line.begin, length, replacement) == 0) return false;
    text.replace(line.begin, length, replacement);
    return true;
  }

  // After the section's last key, so that comments and blank lines closing the section stay last.
  std::size_t last = header;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind == LineKind::Key) last = i;
  }
  std::string added(LineBreakAfter(text, lines[last], eol));
  added.append(KeyLine(key, value)).append(eol);
  text.insert(lines[last].end, added);
  return true;
}

bool DeleteKey(std::string& text, std::string_view section, std::string_view key) {
  std::vector<Line> lines = SplitLines(text);
  std::size_t header = FindSection(lines, section);
  if (header == kNoLine) return false;
  std::size_t at = FindKey(lines, header + 1, SectionEnd(lines, header), key);
  if (at == kNoLine) return false;
  text.erase(lines[at].begin, lines[at].end - lines[at].begin);
  return true;
}

bool DeleteSection(std::string& text, std::string_view section) {
  std::vector<Line> lines = SplitLines(text);
  std::size_t header = FindSection(lines, section);
  if (header == kNoLine) return false;
  std::size_t end = SectionEnd(lines, header);
  std::size_t stop = end < lines.size() ? lines[end].begin : text.size();
  text.erase(lines[header].begin, stop - lines[header].begin);
  return true;
}

}  // namespace profile
