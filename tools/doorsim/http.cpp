// Request parsing and plain responses.
#include "tools/doorsim/http.h"

#include <cctype>

namespace doorsim {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Unknown";
  }
}

}  // namespace

std::string UrlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

const std::string* QueryParams::Find(std::string_view key) const {
  for (const auto& [k, v] : items) {
    if (k == key) return &v;
  }
  return nullptr;
}

QueryParams ParseQuery(std::string_view query) {
  QueryParams params;
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view item = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (item.empty()) continue;
    const size_t eq = item.find('=');
    if (eq == std::string_view::npos) {
      params.items.emplace_back(UrlDecode(item), std::string());
    } else {
      params.items.emplace_back(UrlDecode(item.substr(0, eq)), UrlDecode(item.substr(eq + 1)));
    }
  }
  return params;
}

std::optional<Request> ParseRequest(std::string_view head) {
  const size_t lineEnd = head.find('\n');
  std::string_view line = Trim(head.substr(0, lineEnd));
  const size_t sp1 = line.find(' ');
  if (sp1 == std::string_view::npos) return std::nullopt;
  const size_t sp2 = line.find(' ', sp1 + 1);
  Request req;
  req.method = line.substr(0, sp1);
  std::string_view target =
      line.substr(sp1 + 1, sp2 == std::string_view::npos ? std::string_view::npos : sp2 - sp1 - 1);
  // A request through a proxy carries the absolute form "http://host/path".
  if (target.starts_with("http://")) {
    const size_t slash = target.find('/', 7);
    target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
  }
  if (target.empty() || target.front() != '/') return std::nullopt;
  const size_t q = target.find('?');
  req.path = target.substr(0, q);
  if (q != std::string_view::npos) req.query = target.substr(q + 1);

  std::string_view rest = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 1);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view header = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const size_t colon = header.find(':');
    if (colon != std::string_view::npos && EqualsNoCase(Trim(header.substr(0, colon)), "User-Agent")) {
      req.userAgent = Trim(header.substr(colon + 1));
    }
  }
  return req;
}

std::string TextResponse(int status, std::string_view contentType, std::string_view body) {
  std::string out = "HTTP/1.0 " + std::to_string(status) + " " + Reason(status) + "\r\n";
  out += "Content-Type: ";
  out += contentType;
  out += "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  out += body;
  return out;
}

}  // namespace doorsim
