// The texts of the Visitors window and of the tray tip's missed-call line.
#include "visitor_window/visit_text.h"

#include <cstdio>
#include <ctime>

namespace visitor_window {

namespace {

std::string TalkLength(visitors::TimeMs ms) {
  const long long seconds = ms / 1000;
  char text[32];
  if (seconds >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  return text;
}

// The person looks for a visit by the clock on the wall: local time.
std::string LocalTime(visitors::TimeMs ms) {
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return "?";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace

std::string OutcomeText(const visitors::Visit& visit) {
  std::string text;
  switch (visit.outcome) {
    case visitors::Outcome::Answered: text = "Answered " + TalkLength(visit.talkMs); break;
    case visitors::Outcome::Refused: text = "Refused"; break;
    case visitors::Outcome::Missed: text = "Missed"; break;
    case visitors::Outcome::Busy: text = "Busy"; break;
    case visitors::Outcome::Pending: text = visit.ended || visit.doorRelay != 0 ? "" : "Ringing"; break;
  }
  if (visit.doorRelay != 0)
    text += (text.empty() ? "door " : ", door ") + std::to_string(visit.doorRelay) + " opened";
  return text;
}

std::string RowText(const visitors::VisitRow& row) {
  std::string text = LocalTime(row.visit.startMs) + "  " + (row.title.empty() ? row.visit.unit : row.title);
  text += "\n" + OutcomeText(row.visit);
  if (row.picturesMissing) text += "\n(pictures missing)";
  return text;
}

std::string MissedCallsText(int count) {
  if (count <= 0) return {};
  return std::to_string(count) + (count == 1 ? " missed call" : " missed calls");
}

}  // namespace visitor_window
