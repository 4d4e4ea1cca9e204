// The door unit's address: comparing two, checking one a person typed, and its form in a URL.
#pragma once

#include <string>

// 0 when both texts name the same unit's host, -1 otherwise; the port never counts. Two dotted decimal
// addresses (four groups of digits, each at most 255, then nothing or a ':' and the port) compare by
// the groups' values: "192.168.001.250" equals "192.168.1.250". Any other text is the same only as a
// host text equal without regard to case ("Door.lan:80" equals "door.lan"). An empty host, or NULL,
// never equals anything. Never reads past the end of a text.
int cmp_ip(const char* IP1, const char* IP2);

// What in an address would change the host or the path of the requests made with it, in words a
// message box can name ("\"@\"", "a blank", "the control character 0x0A"); empty when nothing would.
std::string DoorAddressFault(const char* address);

// The address as it goes into a URL: a dotted decimal address with its groups as decimal numbers
// ("192.168.001.250:80" gives "192.168.1.250:80"), since the URL library reads a group with a leading
// zero as octal; any other text as it is.
std::string DoorUrlAddress(const char* address);
