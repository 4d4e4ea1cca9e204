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
// Locks that fail one after the other are no damaged name but a lock folder that cannot be used.
constexpr int kMaxFailuresInARow = 3;

}  // namespace

BOOL FindInstanceNumber() {
  int failuresInARow = 0;
  for (int attempt = 0; attempt < kMaxInstanceNumber; ++attempt) {
    ++PocSpusteni;
    std::snprintf(AppName, sizeof AppName, "%s%i", kProgramName, PocSpusteni);
    bool alreadyExisted = false;
    // The handle is deliberately never closed; see the header.
    int handle = CreateNamedMutex(AppName, &alreadyExisted);
    if (handle < 0) {
      // A number whose lock we do not hold is not ours: another copy could take it too.
      if (++failuresInARow >= kMaxFailuresInARow) return FALSE;
      Diag(DiagLevel::Warning, "instance lock %s could not be created; number %d is passed over", AppName,
           PocSpusteni);
      continue;
    }
    failuresInARow = 0;
    if (!alreadyExisted) return TRUE;
  }
  Diag(DiagLevel::Error, "no free instance number up to %d", kMaxInstanceNumber);
  return FALSE;
}
