// The visit rules: joining invitations and flag rises, outcomes, the door's relays and their answers.
#include "visitors/visit_rules.h"

#include <algorithm>

#include "visitors/door_answer.h"

namespace visitors {

VisitRules::Track* VisitRules::Latest(const std::string& unit) {
  for (auto t = tracks_.rbegin(); t != tracks_.rend(); ++t)
    if (t->visit.unit == unit) return &*t;
  return nullptr;
}

VisitRules::Track* VisitRules::OpenCall(const std::string& unit) {
  for (auto t = tracks_.rbegin(); t != tracks_.rend(); ++t)
    if (t->visit.unit == unit && t->invited && !t->visit.ended) return &*t;
  return nullptr;
}

VisitRules::Track& VisitRules::Start(const std::string& unit, TimeMs now) {
  Track track;
  track.visit.unit = unit;
  track.visit.startMs = now;
  tracks_.push_back(track);
  Changed(tracks_.back());
  return tracks_.back();
}

void VisitRules::Changed(const Track& track) {
  const std::pair<std::string, TimeMs> key{track.visit.unit, track.visit.startMs};
  if (std::find(changed_.begin(), changed_.end(), key) == changed_.end()) changed_.push_back(key);
}

void VisitRules::End(Track& track, Outcome outcome, TimeMs now) {
  if (static_cast<int>(outcome) >= static_cast<int>(track.visit.outcome)) track.visit.outcome = outcome;
  track.visit.ended = true;
  track.endMs = now;
  Changed(track);
}

void VisitRules::Invitation(const std::string& unit, TimeMs now) {
  Track* t = Latest(unit);
  // The flag often rises a moment before the invitation arrives, and may already have fallen.
  if (t != nullptr && !t->invited && t->flagSeen && now - t->visit.startMs <= kJoinWindowMs) {
    t->invited = true;
    t->visit.ended = false;
    t->visit.outcome = Outcome::Pending;
    Changed(*t);
    return;
  }
  Start(unit, now).invited = true;
}

void VisitRules::TurnedAway(const std::string& unit, TimeMs now) {
  Track& t = Start(unit, now);
  t.invited = true;
  End(t, Outcome::Busy, now);
}

void VisitRules::Answered(const std::string& unit, TimeMs now) {
  Track* t = OpenCall(unit);
  if (t == nullptr) return;
  t->answeredMs = now;
  Changed(*t);
}

void VisitRules::Refused(const std::string& unit, TimeMs now) {
  if (Track* t = OpenCall(unit)) End(*t, Outcome::Refused, now);
}

void VisitRules::CallEnded(const std::string& unit, TimeMs now) {
  Track* t = OpenCall(unit);
  if (t == nullptr) return;
  if (t->answeredMs >= 0) {
    t->visit.talkMs = now - t->answeredMs;
    End(*t, Outcome::Answered, now);
  } else {
    End(*t, Outcome::Missed, now);
  }
}

void VisitRules::Flag(const std::string& unit, int flag, TimeMs now) {
  // Any other byte in the flag's place says nothing: the display ignores it too.
  if (flag < 0 || flag > 2) return;
  Track* t = Latest(unit);
  const bool up = flag == 1 || flag == 2;
  if (!up) {
    if (t == nullptr || !t->flagUp) return;
    t->flagUp = false;
    // With a call the call's end decides; the flag alone ends only a visit nobody called in.
    if (!t->invited) End(*t, Outcome::Missed, now);
    return;
  }
  if (t != nullptr && t->flagUp) return;
  if (t != nullptr && t->invited && !t->flagSeen && now - t->visit.startMs <= kJoinWindowMs) {
    t->flagUp = t->flagSeen = true;
    return;
  }
  Track& fresh = Start(unit, now);
  fresh.flagUp = fresh.flagSeen = true;
}

void VisitRules::RelayPressed(const std::string& unit, int relay, TimeMs now, unsigned press) {
  if (relay != 1 && relay != 2) return;
  Track* t = Latest(unit);
  if (t == nullptr || now < t->visit.startMs) return;
  if (t->visit.ended && now - t->endMs > kDoorAfterVisitMs) return;
  t->unanswered.push_back({press, relay, now});
  if (t->visit.doorRelay != 0) return;
  t->visit.doorRelay = relay;
  Changed(*t);
}

void VisitRules::RelayAnswered(unsigned press, int status) {
  for (Track& t : tracks_) {
    const auto p = std::find_if(t.unanswered.begin(), t.unanswered.end(),
                                [press](const Track::Press& each) { return each.number == press; });
    if (p == t.unanswered.end()) continue;
    const int answer = DoorAnswer(p->relay, status);
    t.unanswered.erase(p);
    if (answer <= t.visit.doorAnswer) return;
    t.visit.doorAnswer = answer;
    Changed(t);
    return;
  }
}

TimeMs VisitRules::OpenStart(const std::string& unit) const {
  for (auto t = tracks_.rbegin(); t != tracks_.rend(); ++t)
    if (t->visit.unit == unit) return t->visit.ended ? -1 : t->visit.startMs;
  return -1;
}

std::vector<Visit> VisitRules::TakeChanged() {
  std::vector<Visit> out;
  for (const auto& key : changed_)
    for (const Track& t : tracks_)
      if (t.visit.unit == key.first && t.visit.startMs == key.second) out.push_back(t.visit);
  changed_.clear();
  return out;
}

std::size_t VisitRules::Forget(TimeMs now) {
  const TimeMs keep = std::max(kJoinWindowMs, kDoorAfterVisitMs);
  for (Track& t : tracks_)
    std::erase_if(t.unanswered, [&](const Track::Press& p) { return now - p.atMs > kDoorAnswerWaitMs; });
  std::erase_if(tracks_,
                [&](const Track& t) { return t.visit.ended && now - t.endMs > keep && t.unanswered.empty(); });
  return tracks_.size();
}

}  // namespace visitors
