// The desktop's volume control started on the device's tab, one at a time, ended at shutdown.
#include "settings/volume_control.h"

#include <cstring>
#include <string>

#include "platform/core/child_process.h"
#include "platform/core/diagnostics.h"
#include "platform/gui/dialog.h"

namespace {

// The one started last. Only the window thread opens and ends it, so it needs no lock.
ChildProgram g_volumeControl;

// The GTK one first; desktops without it often ship the Qt one, which takes the same options.
constexpr const char* kPrograms[] = {"pavucontrol", "pavucontrol-qt"};

// The volume control's tabs: 3 lists the output devices, 4 the input devices.
const char* TabOption(VolumeDevice device) { return device == VolumeDevice::Capture ? "--tab=4" : "--tab=3"; }

}  // namespace

void OpenVolumeControl(HWND owner, VolumeDevice device) {
  EndProgram(&g_volumeControl);
  for (const char* program : kPrograms) {
    const int error = StartProgram(program, {TabOption(device)}, &g_volumeControl);
    if (error == 0) return;
    Diag(DiagLevel::Warning, "the volume control %s could not be started: %s", program, std::strerror(error));
  }
  MessageBoxA(owner, "Error: sndvol", "Error", MB_OK | MB_ICONERROR);
}

void EndVolumeControl() { EndProgram(&g_volumeControl); }
