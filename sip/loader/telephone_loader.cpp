// The telephone module's lookup and its one load.
#include "sip/loader/telephone_loader.h"

#include "platform/core/diagnostics.h"
#include "platform/core/folders.h"
#include "platform/core/shared_module.h"
#include "platform/core/window_thread.h"
#include "state/program.h"

namespace {

bool g_failed GUARDED_BY(WindowThread) = false;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::string TelephoneModulePath(const std::string& executable) {
  if (const char* forced = GetEnv("KESTROVA_TELEPHONE_MODULE"); forced != nullptr && forced[0] != '\0')
    return forced;
  const std::string folder = FolderOf(executable);
  const std::string beside = folder + "/" + kTelephoneModuleFile;
  if (PathExists(beside.c_str())) return beside;
  // Relative to the executable, so that an install under any prefix (/usr, ~/.local) finds its own.
  return folder + "/" KESTROVA_MODULE_FROM_BIN "/" + kTelephoneModuleFile;
}

const t_Telephone* LoadTelephone() {
  AssertWindowThread();
  if (const t_Telephone* loaded = Telephone()) return loaded;
  if (g_failed) return nullptr;
  const std::string path = TelephoneModulePath(OwnExecutablePath());
  std::string error;
  const t_Telephone* telephone = nullptr;
  if (void* entry = OpenModuleSymbol(path, kTelephoneModuleEntry, &error)) {
    telephone = reinterpret_cast<t_TelephoneModuleEntry>(entry)(kProgramName, sizeof(t_Telephone));
    if (telephone == nullptr) error = "built for another version of the program";
  }
  if (telephone == nullptr) {
    g_failed = true;
    Diag(DiagLevel::Error,
         "the telephone module %s cannot be loaded (%s): this copy runs without a telephone", path.c_str(),
         error.c_str());
    return nullptr;
  }
  SetTelephone(telephone);
  return telephone;
}

bool TelephoneUnavailable() {
  AssertWindowThread();
  return g_failed;
}
