// Reading dialog templates: one statement per line, words and quoted texts, '#' starts a comment line.
//   dialog X Y CX CY
//   caption "Text"
//   style sysmodal modalframe caption sysmenu visible
//   font POINTS "Name"
//   KIND ID X Y CX CY [flags...] ["text"]
#include "platform/core/dialog_template.h"

#include <charconv>
#include <optional>

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

struct Word {
  const char* name;
  DWORD bits;
};

constexpr Word kDialogStyles[] = {
    {"sysmodal", DS_SYSMODAL}, {"modalframe", DS_MODALFRAME}, {"visible", WS_VISIBLE},
    {"caption", WS_CAPTION},   {"sysmenu", WS_SYSMENU},
};

constexpr Word kControlFlags[] = {
    {"center", SS_CENTER},     {"default", BS_DEFPUSHBUTTON}, {"autoscroll", ES_AUTOHSCROLL},
    {"password", ES_PASSWORD}, {"readonly", ES_READONLY},     {"number", ES_NUMBER},
    {"border", WS_BORDER},     {"tabstop", WS_TABSTOP},       {"vscroll", WS_VSCROLL},
    {"sort", CBS_SORT},
};

struct Kind {
  const char* name;
  ControlKind kind;
};

constexpr Kind kKinds[] = {
    {"label", ControlKind::Label},       {"icon", ControlKind::Icon},
    {"button", ControlKind::Button},     {"checkbox", ControlKind::CheckBox},
    {"edit", ControlKind::Edit},         {"dropdown", ControlKind::DropDown},
    {"groupbox", ControlKind::GroupBox}, {"hline", ControlKind::HLine},
    {"vline", ControlKind::VLine},       {"picturelist", ControlKind::PictureList},
    {"picture", ControlKind::Picture},
};

// Splits a line into words and quoted texts (\" and \\ escape inside quotes); false on a damaged quote.
bool Tokenize(std::string_view line, std::vector<Token>* tokens, std::string* why) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    Token token;
    if (c == '"') {
      token.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          if (i >= line.size() || (line[i] != '"' && line[i] != '\\')) {
            *why = "unknown escape in a text";
            return false;
          }
          d = line[i++];
        }
        token.text.push_back(d);
        if (token.text.size() > kMaxTemplateText) {
          *why = "text too long";
          return false;
        }
      }
      if (!closed) {
        *why = "text without its closing quote";
        return false;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        *why = "a word runs into a text";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        if (line[i] == '"') {
          *why = "a word runs into a text";
          return false;
        }
        token.text.push_back(line[i++]);
      }
    }
    tokens->push_back(std::move(token));
  }
  return true;
}

std::optional<int> Number(const Token& token, int low, int high) {
  if (token.quoted || token.text.empty()) return std::nullopt;
  int value = 0;
  const char* first = token.text.data();
  const char* last = first + token.text.size();
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || value < low || value > high) return std::nullopt;
  return value;
}

// Reads four numbers from tokens[at..]: x and y may be negative, the size may not.
bool Rectangle(const std::vector<Token>& tokens, std::size_t at, int* x, int* y, int* cx, int* cy,
               std::string* why) {
  if (tokens.size() < at + 4) {
    *why = "a position needs x, y, width and height";
    return false;
  }
  auto vx = Number(tokens[at], -kMaxDialogUnits, kMaxDialogUnits);
  auto vy = Number(tokens[at + 1], -kMaxDialogUnits, kMaxDialogUnits);
  auto vcx = Number(tokens[at + 2], 0, kMaxDialogUnits);
  auto vcy = Number(tokens[at + 3], 0, kMaxDialogUnits);
  if (!vx || !vy || !vcx || !vcy) {
    *why = "a position is not a number in range";
    return false;
  }
  *x = *vx;
  *y = *vy;
  *cx = *vcx;
  *cy = *vcy;
  return true;
}

template <typename Table>
const auto* Lookup(const Table& table, const std::string& name) {
  for (const auto& entry : table)
    if (name == entry.name) return &entry;
  return static_cast<decltype(&table[0])>(nullptr);
}

bool Control(const std::vector<Token>& tokens, ControlKind kind, DialogTemplate* out, std::string* why) {
  if (out->controls.size() >= kMaxTemplateControls) {
    *why = "too many controls";
    return false;
  }
  DialogControl control;
  control.kind = kind;
  if (tokens.size() < 2) {
    *why = "a control needs an id";
    return false;
  }
  auto id = Number(tokens[1], kNoControlId, 0xFFFF);
  if (!id) {
    *why = "a control id is not a number from -1 to 65535";
    return false;
  }
  control.id = *id;
  if (!Rectangle(tokens, 2, &control.x, &control.y, &control.cx, &control.cy, why)) return false;
  for (std::size_t i = 6; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.quoted) {
      if (i + 1 != tokens.size()) {
        *why = "a control's text must come last";
        return false;
      }
      control.text = token.text;
      continue;
    }
    const Word* flag = Lookup(kControlFlags, token.text);
    if (flag == nullptr) {
      *why = "unknown control flag '" + token.text + "'";
      return false;
    }
    control.style |= flag->bits;
  }
  out->controls.push_back(std::move(control));
  return true;
}

bool Statement(const std::vector<Token>& tokens, DialogTemplate* out, bool* haveDialog, bool* haveFont,
               bool* haveCaption, bool* haveStyle, std::string* why) {
  const Token& head = tokens[0];
  if (head.quoted) {
    *why = "a line must start with a word";
    return false;
  }
  const std::string& word = head.text;
  if (word == "dialog") {
    if (*haveDialog) {
      *why = "a second dialog line";
      return false;
    }
    if (tokens.size() != 5) {
      *why = "dialog takes x, y, width and height";
      return false;
    }
    *haveDialog = true;
    return Rectangle(tokens, 1, &out->x, &out->y, &out->cx, &out->cy, why);
  }
  if (word == "caption") {
    if (*haveCaption || tokens.size() != 2 || !tokens[1].quoted) {
      *why = "caption takes one quoted text, once";
      return false;
    }
    *haveCaption = true;
    out->caption = tokens[1].text;
    return true;
  }
  if (word == "style") {
    if (*haveStyle) {
      *why = "a second style line";
      return false;
    }
    *haveStyle = true;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
      const Word* style = tokens[i].quoted ? nullptr : Lookup(kDialogStyles, tokens[i].text);
      if (style == nullptr) {
        *why = "unknown dialog style '" + tokens[i].text + "'";
        return false;
      }
      out->style |= style->bits;
    }
    return true;
  }
  if (word == "font") {
    if (*haveFont || tokens.size() != 3 || !tokens[2].quoted || tokens[2].text.empty()) {
      *why = "font takes a point size and a quoted name, once";
      return false;
    }
    auto points = Number(tokens[1], 1, 72);
    if (!points) {
      *why = "a font size is a number from 1 to 72";
      return false;
    }
    *haveFont = true;
    out->fontPoints = *points;
    out->fontName = tokens[2].text;
    return true;
  }
  if (const Kind* kind = Lookup(kKinds, word)) return Control(tokens, kind->kind, out, why);
  *why = "unknown statement '" + word + "'";
  return false;
}

}  // namespace

bool ParseDialogTemplate(std::string_view text, DialogTemplate* out, std::string* error) {
  DialogTemplate result;
  bool haveDialog = false, haveFont = false, haveCaption = false, haveStyle = false;
  std::string why;
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size() && why.empty()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (char c : line)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
        why = "control character";
        break;
      }
    if (!why.empty()) break;
    std::vector<Token> tokens;
    if (!Tokenize(line, &tokens, &why)) break;
    if (tokens.empty() || (!tokens[0].quoted && tokens[0].text[0] == '#')) continue;
    Statement(tokens, &result, &haveDialog, &haveFont, &haveCaption, &haveStyle, &why);
  }
  if (why.empty() && (!haveDialog || !haveFont)) {
    why = "a template needs its dialog and font lines";
    lineNumber = 0;
  }
  if (!why.empty()) {
    if (error != nullptr) *error = lineNumber > 0 ? "line " + std::to_string(lineNumber) + ": " + why : why;
    return false;
  }
  if (out != nullptr) *out = std::move(result);
  return true;
}
