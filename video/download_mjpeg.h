// The video reader: the body of the video thread.
#pragma once

#include <atomic>
#include <stop_token>

class ProgramLink;

// Completed pictures since the last periodic reconnect; the count goes on across readers.
extern std::atomic<int> PocetSnimku;

// Reads the door unit's picture stream until it fails or is asked to stop (ShowData.Kill_TCP, or a stop
// request, which ends a blocked read or the reconnect pause at once). It touches the program's objects
// only while it holds the link (see platform/core/program_link.h).
void DownloadMJPEG(std::stop_token stop, ProgramLink& link);
