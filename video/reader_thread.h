// The video thread's life: started at start-up, restarted by timer 0, stopped at shutdown.
#pragma once

// All of these run on the window thread. While they wait for a reader they handle only what is sent
// to the window (other copies' messages, other threads' sends); input and posted messages wait.

// Starts a video thread running DownloadMJPEG. A thread the system refuses is a reader that ended:
// Kill_TCP stays set and the next tick of timer 0 tries again.
void StartReaderThread();
// Timer 0: while no reader runs (Kill_TCP set), ends the old thread and starts a new one.
void ReaderRestartTick();

// Shutdown, first half: no reader starts any more, and the running one is asked to end its
// connection at once. Does not wait.
void AskReaderToStop();
// Shutdown, second half: waits for the reader within a bound. A reader that outlives it is cut off
// from the program (it touches neither window, tray record, skin nor picture file again) and its
// picture file is deleted here.
void AwaitReaderEnd();

// Video threads started since the program began.
unsigned ReaderThreadsStarted();
// Whether a video thread exists that has not ended yet.
bool ReaderThreadRunning();
