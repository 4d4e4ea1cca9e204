// Handing memory the heap keeps after it was freed back to the system.
#pragma once

// Any thread. Returns the free pages of every allocation arena, not only the main one; a thread that
// allocated in its own arena (the SIP and media threads do) otherwise keeps them for good.
void ReturnFreedMemory();
