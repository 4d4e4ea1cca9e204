// What became of a door-open press: said over the video for a while, and recorded with the visit.
#pragma once

// Any thread (the relay's worker): hands the result of press `press` to the window thread; status is
// the unit's HTTP status, 0 when it did not answer.
void SendDoorResultToWindow(unsigned press, int status);
// Window thread: the result of press `press` is known. The latest press's result shows for 3 s.
void DoorResultKnown(unsigned press, int status);
// Window thread: the banner goes (the next press, or timer 3).
void ClearDoorBanner();
