// The telephone module's entry point: the one symbol the program looks up after loading it.
#include <cstring>
#include <type_traits>

#include "sip/telephone.h"
#include "state/program.h"
#include "state/telephone_hooks.h"

// Everything else the module uses of the program (its state, the window, the bus, the GUI thread) is
// resolved from the executable at load time: one copy of each, whoever calls.
extern "C" __attribute__((visibility("default"))) const t_Telephone* KestrovaTelephoneModule(
    const char* programName, std::size_t tableSize) {
  // A module left from another build would call through a table of another shape.
  if (programName == nullptr || std::strcmp(programName, kProgramName) != 0 ||
      tableSize != sizeof(t_Telephone))
    return nullptr;
  return SipTelephone();
}

static_assert(std::is_same_v<decltype(&KestrovaTelephoneModule), t_TelephoneModuleEntry>);
