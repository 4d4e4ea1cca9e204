// This copy's visits: the rules fed on the window thread, the worker that writes them, the pictures.
#include "visit_recording/visit_recording.h"

#include <atomic>
#include <memory>

#include "platform/core/annotated_mutex.h"
#include "platform/core/diagnostics.h"
#include "platform/core/private_files.h"
#include "platform/core/profile.h"
#include "platform/core/window_thread.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/door_address.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/telephone_hooks.h"
#include "visit_recording/visit_notices.h"
#include "visitors/picture_capture.h"
#include "visitors/shared_log.h"
#include "visitors/unit_key.h"
#include "visitors/visit_rules.h"
#include "visitors/visit_writer.h"

using visitors::CallEvent;
using visitors::CallEventKind;
using visitors::TimeMs;

namespace {

TimeMs NowMs() { return WallClockNs() / 1'000'000; }

// The writer is made and dropped on the window thread; the reader's pictures reach it under this lock.
Mutex g_writerLock;
std::shared_ptr<visitors::VisitWriter> g_writer GUARDED_BY(g_writerLock);

std::shared_ptr<visitors::VisitWriter> Writer() {
  Lock lock(g_writerLock);
  return g_writer;
}

visitors::PictureCapture g_capture([](const std::string& unit, TimeMs startMs, int slot, std::string jpeg) {
  if (auto writer = Writer()) writer->Picture(unit, startMs, slot, std::move(jpeg), "");
});

visitors::VisitRules g_rules GUARDED_BY(WindowThread);
TimeMs g_armedStart GUARDED_BY(WindowThread) = -1;
std::atomic<bool> g_changePending{false};

bool IsTelephone() {
  const t_Telephone* t = Telephone();
  return t != nullptr && t->HasCore();
}

std::string MyUnit() {
  char address[sizeof IP_addr];
  CopyIP_addr(address);
  std::string identity;
  {
    Lock lock(SettingsTextMutex());
    identity = std::string(SIP_call_prefix) + SIP_id_doorphone;
  }
  return visitors::UnitKey(UseSIP, address, identity);
}

// The call matching's rule: the identity with a SIP server, else the address.
bool IsMine(const CallEvent& event) {
  if (UseSIP) {
    Lock lock(SettingsTextMutex());
    return event.identity == std::string(SIP_call_prefix) + SIP_id_doorphone;
  }
  char address[sizeof IP_addr];
  CopyIP_addr(address);
  return cmp_ip(address, event.host.c_str()) == 0;
}

std::string MyTitle() {
  const t_ShowData shown = ShowData;
  if (shown.title[0] != '\0') return shown.title;
  char address[sizeof IP_addr];
  CopyIP_addr(address);
  return address;
}

// Hands the rules' changes to the worker; a visit of this copy's unit that starts arms the pictures.
void Flush(const std::string& myUnit, const std::string& title, bool ownTitle = true) REQUIRES(WindowThread) {
  AssertWindowThread();
  const auto writer = Writer();
  for (const visitors::Visit& visit : g_rules.TakeChanged()) {
    if (writer) writer->Store(visit, title, ownTitle);
    if (visit.unit == myUnit && !visit.ended && visit.startMs != g_armedStart) {
      g_armedStart = visit.startMs;
      g_capture.Arm(visit.unit, visit.startMs);
    }
  }
  g_rules.Forget(NowMs());
}

void FeedCallEvent(visitors::VisitRules& rules, const CallEvent& event, const std::string& unit) {
  switch (event.kind) {
    case CallEventKind::Ringing: rules.Invitation(unit, event.atMs); break;
    case CallEventKind::Answered: rules.Answered(unit, event.atMs); break;
    case CallEventKind::Refused: rules.Refused(unit, event.atMs); break;
    case CallEventKind::Ended: rules.CallEnded(unit, event.atMs); break;
    case CallEventKind::TurnedAway: rules.TurnedAway(unit, event.atMs); break;
  }
}

}  // namespace

void StartVisitRecording() {
  AssertWindowThread();
  if (GetPrivateProfileInt("Visitors", "Enabled", 1, ini_file) == 0) {
    Diag(DiagLevel::Info, "the visitor log is off (Visitors, Enabled=0)");
    return;
  }
  visitors::KeepLimits limits;
  limits.days = GetPrivateProfileInt("Visitors", "Keep_days", 90, ini_file);
  limits.bytes = static_cast<long long>(GetPrivateProfileInt("Visitors", "Keep_MB", 1024, ini_file)) * 1024 * 1024;
  if (limits.days < 0) limits.days = 0;
  if (limits.bytes < 0) limits.bytes = 0;
  visitors::VisitWriter::Hooks hooks;
  hooks.opened = [](std::shared_ptr<visitors::VisitorLog> log) {
    const bool open = log != nullptr;
    visitors::SetSharedLog(std::move(log));
    // The missed mark starts from what the log holds.
    if (open) QueueOnGuiThread([] { PostMessage(g_hwndMain, MESSAGE, kCodeVisitsChanged, 0); });
  };
  hooks.changed = [] {
    // One refresh for a burst of writes.
    if (g_changePending.exchange(true)) return;
    QueueOnGuiThread([] {
      g_changePending = false;
      PostMessage(HWND_BROADCAST, MESSAGE, kCodeVisitsChanged, 0);
    });
  };
  hooks.missed = [](const std::string& title, TimeMs startMs) {
    QueueOnGuiThread([title, startMs] { ShowMissedNotice(title, startMs); });
  };
  auto writer = std::make_shared<visitors::VisitWriter>(visitors::VisitorLogRoot(), limits, std::move(hooks));
  Lock lock(g_writerLock);
  g_writer = std::move(writer);
}

void StopVisitRecording() {
  AssertWindowThread();
  std::shared_ptr<visitors::VisitWriter> writer;
  {
    Lock lock(g_writerLock);
    writer.swap(g_writer);
  }
  CloseRingingNotice();
  writer.reset();  // the last holder writes what is queued and joins the worker
  visitors::SetSharedLog(nullptr);
}

void TellCallEvent(CallEventKind kind, const std::string& host, const std::string& identity) {
  AssertWindowThread();
  const std::string bytes = visitors::EncodeCallEvent(CallEvent{kind, NowMs(), host, identity});
  COPYDATASTRUCT data{kTagCallEvent, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
  SendMessage(HWND_BROADCAST, WM_COPYDATA, static_cast<WPARAM>(g_hwndMain), reinterpret_cast<LPARAM>(&data));
}

void CallEventArrived(const COPYDATASTRUCT* data) {
  AssertWindowThread();
  if (data == nullptr || data->lpData == nullptr) return;
  std::string bytes(static_cast<const char*>(data->lpData), data->cbData);
  const std::optional<CallEvent> event = visitors::DecodeCallEvent(bytes);
  if (!event) {
    Diag(DiagLevel::Warning, "a call event from another copy could not be read; it is ignored");
    return;
  }
  const bool mine = IsMine(*event);
  // A unit that no copy watches is still the telephone's visit, under the caller's own name.
  if (!mine && !IsTelephone()) return;
  const std::string myUnit = MyUnit();
  const std::string unit = mine ? myUnit : visitors::UnitKey(UseSIP, event->host, event->identity);
  FeedCallEvent(g_rules, *event, unit);
  Flush(myUnit, mine ? MyTitle() : (event->identity.empty() ? event->host : event->identity), mine);
  if (!mine) return;
  if (event->kind == CallEventKind::Ringing) {
    if (!IsWindowVisible(g_hwndMain) || IsIconic(g_hwndMain)) ShowRingingNotice(MyTitle(), g_capture.Last());
  } else if (event->kind != CallEventKind::TurnedAway) {
    CloseRingingNotice();
  }
}

void RelayPressedForVisit(int relay, unsigned press) {
  AssertWindowThread();
  const std::string myUnit = MyUnit();
  g_rules.RelayPressed(myUnit, relay, NowMs(), press);
  Flush(myUnit, MyTitle());
}

void RelayResultForVisit(unsigned press, int status) {
  AssertWindowThread();
  g_rules.RelayAnswered(press, status);
  Flush(MyUnit(), MyTitle());
}

void CallFlagChanged(char flag) {
  const TimeMs at = NowMs();
  QueueOnGuiThread([flag, at] {
    AssertWindowThread();
    const std::string myUnit = MyUnit();
    g_rules.Flag(myUnit, flag - '0', at);
    Flush(myUnit, MyTitle());
  });
}

void PictureCompleted(std::string& bytes) { g_capture.Complete(bytes, NowMs()); }

void ReaderDisconnected() { g_capture.Forget(); }
