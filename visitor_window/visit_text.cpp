// The texts of the Visitors window and of the tray tip's missed-call line.
#include "visitor_window/visit_text.h"

#include <cstdio>
#include <ctime>

#include "visitors/door_answer.h"

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

// Until the unit's answer is known the press reads as it always did: opened.
std::string DoorText(const visitors::Visit& visit) {
  const visitors::DoorAnswerParts answer = visitors::DoorAnswerOf(visit.doorAnswer);
  const int relay = answer.relay != 0 ? answer.relay : visit.doorRelay;
  if (relay == 0) return {};
  const std::string door = "door " + std::to_string(relay);
  switch (answer.kind) {
    case visitors::DoorAnswerKind::NoAnswer: return door + ": no answer";
    case visitors::DoorAnswerKind::Refused: return door + " refused (HTTP " + std::to_string(answer.status) + ")";
    case visitors::DoorAnswerKind::Opened:
    case visitors::DoorAnswerKind::Unknown: break;
  }
  return door + " opened";
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
  const std::string door = DoorText(visit);
  if (!door.empty()) text += (text.empty() ? "" : ", ") + door;
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
