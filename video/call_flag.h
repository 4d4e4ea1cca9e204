// The door unit's call flag: the call lamp and, in pop-up mode, showing and hiding the window.
#pragma once

// Acts on the flag byte of one part: '1' or '2' a call, '0' none, anything else nothing.
void HandleCallFlag(char flag);
