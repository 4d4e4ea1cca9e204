// The tray icon of this copy: added once at start-up, removed at shutdown.
#pragma once

#include "platform/core/types.h"

BOOL AddNotifyIcon();
BOOL DeleteNotifyIcon();
