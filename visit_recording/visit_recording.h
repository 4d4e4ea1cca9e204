// This copy's part in the visitor log: the telephone's call events, the call flag, relay presses and the
// reader's pictures become visits, written by a worker; the desktop hears of ringing and missed calls.
#pragma once

#include <string>

#include "platform/core/messages.h"
#include "visitors/call_event.h"

// Window thread. Reads section Visitors of the settings file and, unless Enabled is 0, opens the log on
// the worker (pruning it there now and every hour).
void StartVisitRecording();
// Window thread, at close: what was handed in is written before it returns.
void StopVisitRecording();

// The telephone's copy, window thread: tells every copy (itself too) what happened to a door call.
void TellCallEvent(visitors::CallEventKind kind, const std::string& host, const std::string& identity);
// Every copy, window thread: copy-data tag 12.
void CallEventArrived(const COPYDATASTRUCT* data);
// Window thread: relay 1 or 2 was pressed in this copy; `press` numbers the presses of this copy.
void RelayPressedForVisit(int relay, unsigned press);
// Window thread: what the unit made of press `press`: its HTTP status, or 0 when it did not answer.
void RelayResultForVisit(unsigned press, int status);

// The video reader: the call flag changed ('0', '1', '2'); posts it to the window thread.
void CallFlagChanged(char flag);
// The video reader, after each complete picture; swaps bytes with a buffer to reuse.
void PictureCompleted(std::string& bytes);
// The video reader lost its connection.
void ReaderDisconnected();
