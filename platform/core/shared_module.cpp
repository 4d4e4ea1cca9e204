// Run-time loading of a shared module with dlopen.
#include "platform/core/shared_module.h"

#include <dlfcn.h>

void* OpenModuleSymbol(const std::string& path, const char* symbol, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : "cannot be opened";
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle, symbol);
  if (address == nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : std::string("no symbol ") + symbol;
    // Not closed: the libraries it brought may have started threads already.
    return nullptr;
  }
  return address;
}
