// The caller's user part and host, taken from the address text the library reports for a call.
#pragma once

// from is e.g. "\"Door\" <sip:door@192.168.1.250:5060>": name gets "door", host "192.168.1.250".
// The user part is empty when there is none; both are empty when no ':' comes in the first 64
// characters. Never reads past the end of from.
void ParseCallerAddress(const char* from, char (&name)[64], char (&host)[64]);
