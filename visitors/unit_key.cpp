// The unit's key: the identity with a SIP server, else the host as the call matching compares it.
#include "visitors/unit_key.h"

#include <cctype>

#include "state/door_address.h"

namespace visitors {

std::string UnitKey(bool useSip, const std::string& host, const std::string& identity) {
  if (useSip) return identity;
  std::string key = DoorUrlAddress(host.c_str());
  // A bracketed IPv6 host keeps its colons; any other ':' starts the port.
  const std::size_t port = key.rfind(':');
  if (port != std::string::npos && key.find(']') == std::string::npos) key.resize(port);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace visitors
