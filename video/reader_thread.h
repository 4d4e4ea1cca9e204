// The video thread's life: started at start-up, restarted by timer 0, stopped at shutdown.
#pragma once

// Starts a video thread running DownloadMJPEG.
void StartReaderThread();
// Timer 0: while no reader runs (Kill_TCP set), ends the old thread and starts a new one.
void ReaderRestartTick();
// Asks the running reader to stop and waits for it within a bound.
void StopReaderThread();
