// The handlers that the main window procedure calls for the messages of its own and of the other copies.
#pragma once

#include "platform/core/messages.h"

// MESSAGE with code 0 to 11: the private code table between the copies. Other codes do nothing.
void MyPrivateMessage(WPARAM code, LPARAM lParam);
// The tray icon's callback: a left click hides a shown window and brings back a hidden one.
void MyTrayClick(HWND hwnd, LPARAM mouseMessage);
// The smallest size the window may be given: the bottom row's pieces and the frame.
void MyGetMinMaxInfo(MINMAXINFO* info);
// Copy data from another copy: tags 0 and 6; others are ignored.
void MyCopyData(HWND sender, const COPYDATASTRUCT* data);
// The hand-overs that the SIP thread posts: WM_USER 0 and 1; others are ignored.
void MyUserMessage(WPARAM code, LPARAM lParam);
