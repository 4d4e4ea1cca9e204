// Whole-file locks (flock) shared with other processes: interrupted calls are retried, and a wait for a
// lock is bounded, so a holder that was stopped (a debugger, SIGSTOP) cannot freeze everyone else.
#pragma once

// flock(), retried when a signal interrupts it. 0 on success, -1 with errno set.
int FlockRetrying(int fd, int operation);

// Takes an exclusive lock on fd, trying every 10 ms for at most timeoutMs. False with errno set when it
// cannot: ETIMEDOUT when someone else kept holding it, any other error at once.
bool LockExclusiveWithin(int fd, int timeoutMs);
