// The telephone's state as the SIP copy tells every copy: the tip line it last sent, sent anew on change.
#pragma once

#include <linphone/core.h>

#include "platform/core/messages.h"
#include "state/telephone_line.h"

// Window thread, SIP copy: sends line to every copy, itself included (tag 13), unless it is the one sent
// last. Nothing once the telephone is gone: a registration's late report must not outlive it.
void PublishTelephoneLine(const TelephoneLine& line);
// Window thread, SIP copy: the line the settings give before the server answers: direct calls on the
// telephone's port without a server, a registration under way with one.
void PublishTelephoneLineFromSettings();
// Window thread: the telephone is going; the next one publishes its line whatever was sent before.
void ForgetTelephoneLine();
// Code 15, SIP copy: the line sent last, to the asker alone.
void AnswerTelephoneLineQuery(HWND asker);
// SIP thread: the slot registration_state. Reports on the configuration in use only; one being removed
// by a reload or the shutdown says nothing of the telephone.
void my_registration_state(LinphoneCore* lc, LinphoneProxyConfig* config, LinphoneRegistrationState state,
                           const char* message);
