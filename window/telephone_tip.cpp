// The telephone's tip line in every copy: shown from tag 13, "off" when its holder leaves.
#include "window/telephone_tip.h"

#include "platform/core/diagnostics.h"
#include "platform/core/window_thread.h"
#include "platform/gui/tray.h"
#include "platform/gui/window.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/telephone_line.h"
#include "state/tray_record.h"

namespace {

// The copy whose line is shown; 0 while none is.
HWND g_speaker GUARDED_BY(WindowThread) = 0;

void Show(const TelephoneLine& line) {
  SetNotifyIconExtra(kTrayIconId, TrayExtra::Telephone, line.text, line.failed);
}

}  // namespace

void TelephoneLineArrived(HWND sender, const COPYDATASTRUCT* data) {
  AssertWindowThread();
  if (data == nullptr) return;
  const std::optional<TelephoneLine> line = DecodeTelephoneLine(data->lpData, data->cbData);
  if (!line) {
    Diag(DiagLevel::Warning, "a telephone state from another copy could not be read; it is ignored");
    return;
  }
  g_speaker = sender;
  Show(*line);
}

void ShowTelephoneOff(HWND closing) {
  AssertWindowThread();
  if (g_speaker != 0 && g_speaker != closing) return;
  g_speaker = 0;
  Show(TelephoneOff());
}

void AskForTelephoneLine() {
  AssertWindowThread();
  ShowTelephoneOff(0);
  PostMessage(HWND_BROADCAST, MESSAGE, kCodeAskTelephoneState, static_cast<LPARAM>(g_hwndMain));
}
