// The desktop's volume control, opened from the settings dialog for the capture or the playback device.
#pragma once

#include "platform/core/messages.h"

enum class VolumeDevice { Capture, Playback };

// Ends the volume control started earlier, then starts one on the tab of the device's kind; when no
// volume control can be started, says so in a message box over owner. Window thread; not waited for.
void OpenVolumeControl(HWND owner, VolumeDevice device);
// Ends the volume control started last, if it still runs (shutdown). Window thread.
void EndVolumeControl();
