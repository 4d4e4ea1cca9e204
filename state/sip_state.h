// What every copy knows of the SIP telephone, with or without a core of its own.
#pragma once

#include "platform/core/types.h"

// The last known registration state, shown by the settings dialog.
extern BOOL SIP_reg;
