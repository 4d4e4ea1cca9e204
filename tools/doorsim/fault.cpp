// Fault names and the parsing of the control interface's fault query.
#include <array>
#include <charconv>
#include <utility>

#include "tools/doorsim/doorsim.h"
#include "tools/doorsim/http.h"

namespace doorsim {
namespace {

constexpr std::array<std::pair<FaultMode, std::string_view>, 15> kNames = {{
    {FaultMode::None, "none"},
    {FaultMode::Close, "close"},
    {FaultMode::Stall, "stall"},
    {FaultMode::Garbage, "garbage"},
    {FaultMode::Split, "split"},
    {FaultMode::ShortLen, "shortlen"},
    {FaultMode::LongLen, "longlen"},
    {FaultMode::HugeLen, "hugelen"},
    {FaultMode::NoDigit, "nodigit"},
    {FaultMode::NotFF, "notff"},
    {FaultMode::LongTitle, "longtitle"},
    {FaultMode::CtrlTitle, "ctrltitle"},
    {FaultMode::ErrorPage, "errorpage"},
    {FaultMode::Chunked, "chunked"},
    {FaultMode::Refuse, "refuse"},
}};

bool ReadInt(const QueryParams& params, std::string_view key, int low, int high, int& out) {
  const std::string* text = params.Find(key);
  if (!text) return true;
  int value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size() || value < low || value > high) return false;
  out = value;
  return true;
}

}  // namespace

std::string_view FaultName(FaultMode mode) {
  for (const auto& [m, name] : kNames) {
    if (m == mode) return name;
  }
  return "none";
}

std::optional<Fault> ParseFault(std::string_view query) {
  const QueryParams params = ParseQuery(query);
  const std::string* mode = params.Find("mode");
  if (!mode) return std::nullopt;
  Fault fault;
  bool known = false;
  for (const auto& [m, name] : kNames) {
    if (name == *mode) {
      fault.mode = m;
      known = true;
    }
  }
  if (!known) return std::nullopt;
  if (!ReadInt(params, "after", 0, 1000000, fault.after) || !ReadInt(params, "by", 1, 100000000, fault.by) ||
      !ReadInt(params, "digits", 10, 30, fault.digits) ||
      !ReadInt(params, "length", 64, 4096, fault.length) || !ReadInt(params, "pause", 0, 1000, fault.pause) ||
      !ReadInt(params, "status", 404, 500, fault.status) || (fault.status != 404 && fault.status != 500)) {
    return std::nullopt;
  }
  return fault;
}

}  // namespace doorsim
