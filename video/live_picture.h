// The video area while the video runs: the last picture kept as it was drawn, the banner over it, and a
// picture that stopped coming shown dimmed with how long it has been, from the kept copy.
#pragma once

#include "platform/core/records.h"
#include "platform/core/types.h"

// The video reader, under its link. A connection to the unit opened (also the planned reconnect's).
void LiveConnectionOpened();
// The video reader: the planned reconnect begins, and its pause is no stall.
void LivePlannedReconnect();
// The video reader: a complete picture arrived, shown or not; it ends a stall.
void LivePictureArrived();
// The video reader: draws a picture scaled to the video area (at column, row) with the banner over it,
// and keeps it.
void ShowLivePicture(HWND hwnd, const HBITMAP& frame, int column, int row, int width, int height);
// The video reader at its end: the kept picture goes, and the wait is forgotten.
void LiveVideoEnded();

// Window thread, timer 2: once no picture came for the stall's time, the kept picture is drawn dimmed
// with "No picture for N s", N going up by one each tick.
void StallTick();
// Window thread: draws the video area again, as it should look now (after the banner changed), when
// the window is visible.
void RedrawVideoArea();
