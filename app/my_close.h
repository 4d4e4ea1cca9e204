// Shutdown of one copy on WM_CLOSE.
#pragma once

// Ends the relay commands, stops the timers and the video, hides the window, removes the tray icon,
// takes the telephone down (handing it to another copy), frees the skin and saves the window's place
// and size.
void MyClose();
