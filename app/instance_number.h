// The instance number a starting copy takes from the row of named locks "Kestrova_1.39<N>".
#pragma once

#include "platform/core/types.h"

// Takes the lowest number whose name no running copy holds, counting upwards from 1, into PocSpusteni
// and AppName. Every lock opened on the way, also of names found taken, stays held for the life of the
// process: a running copy keeps the lower names it found taken alive, so a copy started after
// copy 1 ended still gets a new number while copy 2 runs.
// A number whose lock cannot be created is passed over like a taken one: a copy never keeps a number
// it holds no lock for. Returns FALSE when no number could be taken at all (the runtime folder is
// refused, or several locks in a row fail); the caller then ends.
BOOL FindInstanceNumber();
