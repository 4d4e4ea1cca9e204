// Handling queued GUI work outside the message loop.
#include "platform/gui/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

void ProcessPendingEvents(int maxWaitMs) {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, maxWaitMs);
}
