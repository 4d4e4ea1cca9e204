// Cutting settings text into classified lines, as files from Windows or a text editor have them.
#include "platform/core/profile_lines.h"

namespace profile {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

void Classify(std::string_view content, Line& line) {
  std::string_view body = TrimBlanks(content);
  if (body.empty()) return;
  if (body.front() == ';') {
    line.kind = LineKind::Comment;
    return;
  }
  if (body.front() == '[') {
    // The last ']' closes the name, as Windows reads it; without one the line is no header.
    std::size_t close = body.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::Section;
      line.name = TrimBlanks(body.substr(1, close - 1));
      return;
    }
  }
  std::size_t equals = body.find('=');
  if (equals == std::string_view::npos) return;
  std::string_view name = TrimBlanks(body.substr(0, equals));
  if (name.empty()) return;
  std::string_view value = body.substr(equals + 1);
  // A NUL in a half-written file ends the value: callers receive C strings.
  value = value.substr(0, value.find('\0'));
  line.kind = LineKind::Key;
  line.name = name;
  line.value = ValueAsRead(value);
}

}  // namespace

std::string_view ValueAsRead(std::string_view s) { return Unquote(TrimBlanks(s)); }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    std::size_t newline = text.find('\n', pos);
    line.end = newline == std::string_view::npos ? text.size() : newline + 1;
    line.contentEnd = newline == std::string_view::npos ? text.size() : newline;
    // Also a CR left at the very end by a writer cut short is part of the line ending.
    if (line.contentEnd > pos && text[line.contentEnd - 1] == '\r') --line.contentEnd;
    Classify(text.substr(pos, line.contentEnd - pos), line);
    lines.push_back(line);
    pos = line.end;
  }
  return lines;
}

std::size_t FindSection(const std::vector<Line>& lines, std::string_view name) {
  name = TrimBlanks(name);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::Section && NamesEqual(lines[i].name, name)) return i;
  }
  return kNoLine;
}

std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
  return i;
}

std::size_t FindKey(const std::vector<Line>& lines, std::size_t from, std::size_t to, std::string_view name) {
  name = TrimBlanks(name);
  for (std::size_t i = from; i < to; ++i) {
    if (lines[i].kind == LineKind::Key && NamesEqual(lines[i].name, name)) return i;
  }
  return kNoLine;
}

}  // namespace profile
