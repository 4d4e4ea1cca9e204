// Taking this copy's instance number from the named locks.
#include "app/instance_number.h"

#include <cstdio>

#include "platform/core/diagnostics.h"
#include "platform/core/named_mutex.h"
#include "state/program.h"

namespace {

// Far beyond any real number of copies on one desktop; a lock folder that reports every name
// as taken must not keep us counting for ever.
constexpr int kMaxInstanceNumber = 10000;

}  // namespace

BOOL FindInstanceNumber() {
  for (int attempt = 0; attempt < kMaxInstanceNumber; ++attempt) {
    ++PocSpusteni;
    std::snprintf(AppName, sizeof AppName, "%s%i", kProgramName, PocSpusteni);
    bool alreadyExisted = false;
    // The handle is deliberately never closed; see the header.
    int handle = CreateNamedMutex(AppName, &alreadyExisted);
    if (handle < 0) {
      if (attempt == 0) return FALSE;
      Diag(DiagLevel::Warning, "instance lock %s could not be created; keeping number %d", AppName,
           PocSpusteni);
      return TRUE;
    }
    if (!alreadyExisted) return TRUE;
  }
  Diag(DiagLevel::Error, "no free instance number up to %d", kMaxInstanceNumber);
  return FALSE;
}
