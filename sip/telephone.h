// The SIP telephone of this copy: set-up (code 10), reload (code 7), registration state (code 11),
// shutdown with the hand-over (code 8), and the handlers that start-up hands to the window procedure.
#pragma once

#include "platform/core/messages.h"
#include "state/telephone_hooks.h"

// Code 10: takes the SIP role and creates the core with its thread; nothing when this copy holds a
// telephone already or another copy holds the role. A core that cannot be made leaves no telephone
// (a diagnostic says why) and gives the role back.
void StartSipTelephone();
// Code 7, SIP copy: reads the SIP and sound settings again and applies them.
void ReloadSipSettings();
// Code 11, SIP copy: SIP_reg from the registration, sent to the asker.
void AnswerRegistrationQuery(LPARAM asker);
// The core's part of the shutdown: registration removed, call ended, thread stopped, core released, the
// role given back and code 8 sent to every copy. Nothing in a copy without a telephone.
void ShutDownSipTelephone();
// Timer 1: a copy without a telephone takes it up when the role is free (its holder ended or was killed).
void SipRoleTimerTick();

// The handlers for the window procedure (SetTelephone).
const t_Telephone* SipTelephone();
