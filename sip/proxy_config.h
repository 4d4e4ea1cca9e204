// The registration at the SIP server: the proxy configuration and its authentication record, made and
// removed on the SIP thread from the settings as the window thread read them.
#pragma once

#include <linphone/core.h>

#include <string>

#include "state/settings.h"

// The settings the registration is made from, copied on the window thread.
struct SipAccount {
  bool use = false;
  std::string id, pass, realm, server;
  int duration = 3600;
  std::string contact;  // the primary contact
};
// Window thread: the account from the settings variables, with the primary contact for door address
// door ("sip:%s@%s" of SIP_id and door, cut to 49 characters).
SipAccount AccountFromSettings(const char* door) EXCLUDES(SettingsTextLock);

// SIP thread. info := a new record from the account, added to the core.
void AddAccountAuthInfo(LinphoneCore* core, const SipAccount& account);
// SIP thread. cfg := a new configuration registering the account, made the default. False when the
// library refused it (no identity or server): it is the default all the same.
bool AddAccountProxyConfig(LinphoneCore* core, const SipAccount& account);
// SIP thread. Removes cfg (waiting within a bound for its unregistration to end), then, when
// withAuthInfo, the record info; in that order, as removing the record first makes the library ask
// for credentials once more.
void RemoveAccountProxyConfig(LinphoneCore* core, bool withAuthInfo);
// SIP thread. Whether cfg is registered.
bool AccountRegistered();
