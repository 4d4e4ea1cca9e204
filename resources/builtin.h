// The program's built-in resources: skin pieces 140..166, the program icon 101 (64 and 22 pixels), the
// ring 103 and the dialog templates.
#pragma once

#include "platform/core/resources.h"

extern const ModuleResources kBuiltinResources;

constexpr int IDI_PROGRAM_ICON = 101;
constexpr int IDB_FIRST_SKIN_PIECE = 140;
constexpr int IDW_RING = 103;
constexpr int IDD_SETTINGS = 104;
constexpr int IDD_AUTHENTICATION = 118;
constexpr int IDD_TERMINATE = 123;
constexpr int IDD_ACCEPT = 124;
