// Making and removing the registration: identity "sip:ID@SERVER", server "sip:SERVER", the expiry.
#include "sip/proxy_config.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "sip/base/text_buffer.h"
#include "sip/sip_vars.h"
#include "state/settings.h"

namespace {

// The texts are built in 50-byte buffers: longer ones are cut at 49 characters.
std::string Format50(const char* format, const char* a, const char* b = nullptr) {
  char buffer[50];
  std::memset(buffer, ' ', sizeof buffer);
  if (b == nullptr)
    std::snprintf(buffer, sizeof buffer, format, a);
  else
    std::snprintf(buffer, sizeof buffer, format, a, b);
  return buffer;
}

}  // namespace

SipAccount AccountFromSettings(const char* door) {
  SipAccount account;
  Lock lock(SettingsTextMutex());
  account.use = UseSIP != FALSE;
  account.id = SIP_id;
  account.pass = SIP_pass;
  account.realm = SIP_realm;
  account.server = SIP_addr;
  account.duration = SIP_reg_duration;
  account.contact = Format50("sip:%s@%s", SIP_id, door);
  return account;
}

void AddAccountAuthInfo(LinphoneCore* core, const SipAccount& account) {
  if (info != nullptr) linphone_auth_info_unref(info);
  info = linphone_auth_info_new(account.id.c_str(), nullptr, account.pass.c_str(), nullptr,
                                account.realm.empty() ? nullptr : account.realm.c_str(), nullptr);
  if (info != nullptr) linphone_core_add_auth_info(core, info);
}

bool AddAccountProxyConfig(LinphoneCore* core, const SipAccount& account) {
  if (cfg != nullptr) linphone_proxy_config_unref(cfg);
  cfg = linphone_core_create_proxy_config(core);
  if (cfg == nullptr) return false;
  const std::string identity = Format50("sip:%s@%s", account.id.c_str(), account.server.c_str());
  const std::string server = Format50("sip:%s", account.server.c_str());
  linphone_proxy_config_edit(cfg);
  if (LinphoneAddress* address = linphone_factory_create_address(linphone_factory_get(), identity.c_str())) {
    linphone_proxy_config_set_identity_address(cfg, address);
    linphone_address_unref(address);
  }
  linphone_proxy_config_set_server_addr(cfg, server.c_str());
  linphone_proxy_config_set_expires(cfg, account.duration);
  linphone_proxy_config_enable_register(cfg, TRUE);
  linphone_proxy_config_done(cfg);
  const bool added = linphone_core_add_proxy_config(core, cfg) != -1;
  linphone_core_set_default_proxy_config(core, cfg);
  return added;
}

void RemoveAccountProxyConfig(LinphoneCore* core, bool withAuthInfo) {
  if (cfg != nullptr) {
    bool wasKnown = false;
    for (const bctbx_list_t* it = linphone_core_get_proxy_config_list(core); it != nullptr; it = it->next)
      if (it->data == cfg) wasKnown = true;
    linphone_core_remove_proxy_config(core, cfg);
    // The unregistration runs in the library: its steps are taken here, on the SIP thread.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (wasKnown && std::chrono::steady_clock::now() < deadline) {
      const LinphoneRegistrationState state = linphone_proxy_config_get_state(cfg);
      if (state != LinphoneRegistrationProgress && state != LinphoneRegistrationOk) break;
      linphone_core_iterate(core);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    linphone_proxy_config_unref(cfg);
    cfg = nullptr;
  }
  if (withAuthInfo && info != nullptr) linphone_core_remove_auth_info(core, info);
}

bool AccountRegistered() {
  return cfg != nullptr && linphone_proxy_config_get_state(cfg) == LinphoneRegistrationOk;
}
