// Handing freed heap memory back to the system.
#include "platform/core/free_memory.h"

#include <malloc.h>

void ReturnFreedMemory() { malloc_trim(0); }
