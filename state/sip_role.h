// The SIP role: exactly one running copy holds the telephone. A lock file in the runtime folder stands
// for it; the system releases it when its holder ends in any way, so a killed holder frees the role.
// The role is the copy's state, not the telephone's: a copy takes it before it loads the SIP library, so
// the copies that lose the race for a telephone left free never load it.
#pragma once

// Takes the role without waiting; true when this process holds it (also when it held it already).
bool TakeSipRole();
// Gives the role back (nothing when it is not held).
void ReleaseSipRole();
bool HoldsSipRole();
