// System-wide named locks that behave like named mutexes: a name is taken while any process holds it.
#pragma once

// Opens or creates the named lock and holds it until the process ends (or CloseNamedMutex).
// Returns a handle >= 0, or -1 on failure (runtime folder refused, bad name, I/O error).
// *alreadyExisted is set to true when another process already held the name.
// Names are 1..100 characters of [A-Za-z0-9._-].
int CreateNamedMutex(const char* name, bool* alreadyExisted);
void CloseNamedMutex(int handle);

// The named lock held by this process alone, taken without waiting: a handle >= 0, or -1 when another
// process holds it or it cannot be had (that one with a diagnostic). Kept until CloseNamedMutex or the
// process ends in any way, so a killed holder frees it.
int TryTakeExclusiveNamedLock(const char* name);
