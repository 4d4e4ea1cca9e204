// What the window's buttons do when the left mouse button is released over them.
#pragma once

// Acts for the button code But (the button under the pointer at its last move).
void MyLButtonUp(int But);

// The actions that belong to other parts of the program.
void Relay1Released();
void Relay2Released();
void SettingsReleased();
void CallReleased();
void HangUpReleased();
