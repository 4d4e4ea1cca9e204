// The program's built-in resources: skin pieces 140..166 and the program icon 101 (64 and 22 pixels).
#pragma once

#include "platform/core/resources.h"

extern const ModuleResources kBuiltinResources;

constexpr int IDI_PROGRAM_ICON = 101;
constexpr int IDB_FIRST_SKIN_PIECE = 140;
