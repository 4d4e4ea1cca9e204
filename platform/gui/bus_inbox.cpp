// The queue of sent messages waiting for the window procedure, served by the message loop and by
// every waiting sending call on the GUI thread, so that a copy waiting for another still answers it.
#include "platform/gui/bus_inbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <deque>
#include <memory>

#include "platform/core/annotated_mutex.h"
#include "platform/core/completion.h"
#include "platform/core/diagnostics.h"
#include "platform/core/messages.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window_record.h"

namespace bus {

namespace {

struct Inbox {
  Mutex mutex;
  std::deque<SentMessage> waiting GUARDED_BY(mutex);
  int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
};

// Never destroyed: the listener and other threads may still deliver while the process ends.
Inbox& TheInbox() {
  static Inbox* inbox = new Inbox;
  return *inbox;
}

}  // namespace

void DeliverSent(SentMessage message) {
  Inbox& inbox = TheInbox();
  {
    Lock lock(inbox.mutex);
    inbox.waiting.push_back(std::move(message));
  }
  const std::uint64_t one = 1;
  ssize_t ignored = write(inbox.wakeFd, &one, sizeof one);
  (void)ignored;
  // One handling per delivery: one that a waiting call took already finds the next one or none.
  QueueOnGuiThread([] { HandleOneSent(); });
}

bool HandleOneSent() {
  SentMessage m;
  {
    Inbox& inbox = TheInbox();
    Lock lock(inbox.mutex);
    if (inbox.waiting.empty()) return false;
    m = std::move(inbox.waiting.front());
    inbox.waiting.pop_front();
  }
  LRESULT result = 0;
  if (m.work) {
    m.work();
  } else if (m.copyData) {
    // The procedure sees our own copy of the bytes, valid while it handles the message.
    COPYDATASTRUCT record{m.tag, static_cast<DWORD>(m.bytes.size()),
                          m.bytes.empty() ? nullptr : m.bytes.data()};
    result = DispatchToProc(WM_COPYDATA, m.wParam, reinterpret_cast<LPARAM>(&record));
  } else {
    result = DispatchToProc(m.message, m.wParam, m.lParam);
  }
  if (m.answer) m.answer(result);
  return true;
}

int InboxWakeFd() { return TheInbox().wakeFd; }

void ClearInboxWake() {
  std::uint64_t count;
  while (read(TheInbox().wakeFd, &count, sizeof count) > 0) {
  }
}

LRESULT SendToOwnWindowAndWait(UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs) {
  auto done = std::make_shared<Completion<LRESULT>>();
  SentMessage m;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  // Copy data is copied: a sender that gives up waiting takes its record and bytes with it.
  if (message == WM_COPYDATA) {
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (record == nullptr || (record->cbData > 0 && record->lpData == nullptr)) {
      Diag(DiagLevel::Warning, "copy data without a record or bytes: not sent");
      return 0;
    }
    const auto* bytes = static_cast<const unsigned char*>(record->lpData);
    m.copyData = true;
    m.tag = record->dwData;
    m.bytes.assign(bytes, bytes + record->cbData);
  }
  m.answer = [done](LRESULT result) { done->Complete(result); };
  DeliverSent(std::move(m));
  if (!done->WaitFor(std::chrono::milliseconds(timeoutMs))) {
    Diag(DiagLevel::Warning, "message 0x%x was not handled within %d ms", message, timeoutMs);
    return 0;
  }
  return done->Value();
}

}  // namespace bus
