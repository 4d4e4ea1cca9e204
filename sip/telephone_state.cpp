// The SIP copy's side of the telephone's tip line: what it says, and telling the other copies.
#include "sip/telephone_state.h"

#include <optional>
#include <string>

#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "sip/sip_vars.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

std::optional<TelephoneLine> g_sent GUARDED_BY(WindowThread);

void SendLine(HWND to, const TelephoneLine& line) {
  std::string bytes = EncodeTelephoneLine(line);
  COPYDATASTRUCT data{kTagTelephoneState, static_cast<DWORD>(bytes.size()), bytes.data()};
  SendMessage(to, WM_COPYDATA, static_cast<WPARAM>(g_hwndMain), reinterpret_cast<LPARAM>(&data));
}

// The server as the person typed it: the configuration holds it as "sip:SERVER".
std::string ServerOf(LinphoneProxyConfig* config) {
  const char* address = linphone_proxy_config_get_server_addr(config);
  std::string server = address != nullptr ? address : "";
  if (server.rfind("sip:", 0) == 0) server.erase(0, 4);
  return server;
}

}  // namespace

void PublishTelephoneLine(const TelephoneLine& line) {
  AssertWindowThread();
  if (the_core == nullptr || g_sent == line) return;
  g_sent = line;
  SendLine(HWND_BROADCAST, line);
}

void PublishTelephoneLineFromSettings() {
  AssertWindowThread();
  if (!UseSIP) {
    PublishTelephoneLine(TelephoneDirect(SIP_port));
    return;
  }
  PublishTelephoneLine(TelephoneNotRegistered("registering", false));
}

void ForgetTelephoneLine() {
  AssertWindowThread();
  g_sent.reset();
}

void AnswerTelephoneLineQuery(HWND asker) {
  AssertWindowThread();
  if (the_core != nullptr && g_sent) SendLine(asker, *g_sent);
}

void my_registration_state(LinphoneCore*, LinphoneProxyConfig* config, LinphoneRegistrationState state,
                           const char* message) {
  if (config == nullptr || config != cfg) return;
  TelephoneLine line;
  if (state == LinphoneRegistrationOk)
    line = TelephoneRegistered(ServerOf(config));
  else if (state == LinphoneRegistrationFailed)
    line = TelephoneNotRegistered(message != nullptr && message[0] != '\0' ? message : "failed", true);
  else
    return;  // under way or cleared: the line in force stays until the server answers
  QueueOnGuiThread([line] { PublishTelephoneLine(line); });
}
