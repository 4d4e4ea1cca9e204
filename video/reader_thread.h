// The video thread's life: started at start-up, restarted by timer 0, stopped at shutdown.
#pragma once

// All three run on the window thread; while they wait for a reader they keep handling its messages.

// Starts a video thread running DownloadMJPEG.
void StartReaderThread();
// Timer 0: while no reader runs (Kill_TCP set), ends the old thread and starts a new one.
void ReaderRestartTick();
// Asks the running reader to stop and waits for it within a bound; no reader starts afterwards.
void StopReaderThread();
// Video threads started since the program began.
unsigned ReaderThreadsStarted();
// Whether a video thread exists that has not ended yet.
bool ReaderThreadRunning();
