// Shutdown of one copy on WM_CLOSE.
#pragma once

// Ends the relay commands, stops the timer and the video, hides the window, removes the tray icon, frees
// the skin and saves the window's place and size.
void MyClose();
