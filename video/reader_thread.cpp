// The video thread's life: started at start-up, restarted by timer 0, stopped at shutdown.
#include "video/reader_thread.h"

#include "video/download_mjpeg.h"

void StartReaderThread() {}
void ReaderRestartTick() {}
void StopReaderThread() {}
