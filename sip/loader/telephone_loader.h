// Loading the telephone's module the first time this copy needs it: it takes the telephone, or its
// settings dialog lists the sound devices.
#pragma once

#include <string>

#include "state/telephone_hooks.h"

// The handlers, loaded now when they are not yet (and handed to SetTelephone); nullptr when the module
// cannot be loaded: a diagnostic says why, once, and the copy goes on without a telephone. Window thread.
const t_Telephone* LoadTelephone();
// True after a load failed: this copy does not try again.
bool TelephoneUnavailable();
// Where the module is looked for, in order: $KESTROVA_TELEPHONE_MODULE when set, beside the executable
// (the build tree), and the installed module folder relative to the executable's.
std::string TelephoneModulePath(const std::string& executable);
