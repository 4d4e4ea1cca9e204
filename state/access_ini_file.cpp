// Where the settings file and this copy's temporary picture file lie.
#include <cstdio>
#include <string>

#include "platform/core/diagnostics.h"
#include "platform/core/folders.h"
#include "platform/core/runtime_folder.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/user_files.h"

void AccessIniFile() {
  char folder[1024];
  std::snprintf(folder, sizeof folder, "%s", SettingsFolder().c_str());
  if (!DirectoryExists(folder) && !CreateDirectory(folder))
    Diag(DiagLevel::Warning, "cannot create the settings folder %s: defaults are used", folder);
  // Paths are cut at 1023 characters like every other path of the program.
  if (std::snprintf(ini_file, sizeof ini_file, "%s/%s", folder, "Kestrova.ini") >=
      static_cast<int>(sizeof ini_file))
    Diag(DiagLevel::Warning, "the settings path is cut at %zu characters", sizeof ini_file - 1);

  // Each copy has a picture file of its own in the runtime folder (tmpfs): copies sharing one
  // file would overwrite and delete each other's pictures.
  const std::string runtime = RuntimeFolder();
  if (PocSpusteni <= 1)
    std::snprintf(NameJPEG, sizeof NameJPEG, "%s/%s", runtime.c_str(), "Kestrova.tmp");
  else
    std::snprintf(NameJPEG, sizeof NameJPEG, "%s/Kestrova%i.tmp", runtime.c_str(), PocSpusteni);
}
