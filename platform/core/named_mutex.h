// System-wide named locks that behave like named mutexes: a name is taken while any process holds it.
#pragma once

// Opens or creates the named lock and holds it until the process ends (or CloseNamedMutex).
// Returns a handle >= 0, or -1 on failure (runtime folder refused, bad name, I/O error).
// *alreadyExisted is set to true when another process already held the name.
// Names are 1..100 characters of [A-Za-z0-9._-].
int CreateNamedMutex(const char* name, bool* alreadyExisted);
void CloseNamedMutex(int handle);
