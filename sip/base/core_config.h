// The configuration a core is made from: a text, so that the core opens no files or databases.
#pragma once

#include <string>

// No databases (call logs, friends, secrets) and no call history in memory, video neither sent nor
// accepted, IPv4 only.
std::string CoreConfigText();
