// The handlers that the main window procedure calls for the messages of its own and of the other copies.
#pragma once

#include "platform/core/messages.h"

// MESSAGE with code 0 to 15: the private code table between the copies. Other codes do nothing. The
// answer to a sent message: 0, or a copy's instance number (code 13 asking for it).
LRESULT MyPrivateMessage(WPARAM code, LPARAM lParam);
// The tray icon's callback: a left click hides a shown window and brings back a hidden one; a right
// click opens the tray menu.
void MyTrayClick(HWND hwnd, LPARAM mouseMessage);
// Brings a hidden or minimised window back, as the tray's left click does.
void BringWindowBack(HWND hwnd);
// The tray menu: Show, Visitors…, Settings…, Quit.
void MyTrayMenu(HWND hwnd);
// The smallest size the window may be given: the bottom row's pieces and the frame.
void MyGetMinMaxInfo(MINMAXINFO* info);
// Copy data from another copy: tags 0, 6, 12 and 13; others are ignored.
void MyCopyData(HWND sender, const COPYDATASTRUCT* data);
// The hand-overs that the SIP thread posts: WM_USER 0 and 1; others are ignored.
void MyUserMessage(WPARAM code, LPARAM lParam);
