// The capture and playback lists: the same entries, one per sound device, in one order.
#pragma once

#include <string>
#include <vector>

#include "platform/core/messages.h"

// The place of the stored name among the devices: the last of equal names; 0 when none matches.
int StoredDeviceIndex(const std::vector<std::string>& names, const char* stored);
// Fills both lists with the machine's devices and chooses the stored ones (the last of equal names);
// a stored name that matches none shows the first entry and stays as it is.
void FillDeviceLists(HWND hwndDlg);
// The user picked an entry of list 107 or 108: its name is the chosen device from now on, in memory.
void DeviceChosen(HWND hwndDlg, int list);
