// FreeImage's one-time start.
#include "skin/freeimage_init.h"

#include <FreeImage.h>

#include <mutex>

#include "platform/core/diagnostics.h"

namespace {

void OnFreeImageError(FREE_IMAGE_FORMAT format, const char* message) {
  Diag(DiagLevel::Warning, "picture decoder (format %d): %s", static_cast<int>(format),
       message ? message : "");
}

}  // namespace

void EnsureFreeImage() {
  static std::once_flag once;
  std::call_once(once, [] {
    FreeImage_Initialise(FALSE);
    FreeImage_SetOutputMessage(OnFreeImageError);
  });
}
