// Pop-up menus: made item by item, shown at the pointer, the chosen item's id returned.
#pragma once

#include "platform/core/types.h"

struct PopupMenu;
using HMENU = PopupMenu*;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Window thread only.
HMENU CreatePopupMenu();
// Adds an item (id and text; MF_GRAYED shows it without letting it be chosen) or a separator.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT id, const char* text);
// Shows the menu at the pointer's place and waits for the user (messages keep being served meanwhile,
// as in a modal dialog). With TPM_RETURNCMD returns the chosen item's id, 0 when nothing was chosen.
int TrackPopupMenu(HMENU menu, UINT flags, HWND owner);
BOOL DestroyMenu(HMENU menu);
