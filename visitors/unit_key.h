// The name a visit's unit is kept under, the same in every copy for the same unit.
#pragma once

#include <string>

namespace visitors {

// With a SIP server a unit is its identity (call prefix and identity, as the caller's user part reads);
// without one its host: dotted decimal groups as numbers, other host names in lower case, no port. So
// the copy watching "192.168.001.250:80" and the telephone hearing 192.168.1.250 name the same unit.
std::string UnitKey(bool useSip, const std::string& host, const std::string& identity);

}  // namespace visitors
