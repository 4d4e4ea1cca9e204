// The relay command: one GET that switches a relay of the door unit, and what a failure shows.
#pragma once

#include <stop_token>

#include "platform/core/program_link.h"
#include "platform/core/types.h"
#include "state/display_record.h"
#include "state/settings.h"

// A dead unit shows as the connecting notice within seconds, not after the minutes curl would wait.
constexpr int kRelayConnectTimeoutMs = 5000;
constexpr int kRelayTimeoutMs = 10000;

// "http://" + "/cgi-bin/remctrl.sh?id=relayN" around an address of up to 63 characters.
constexpr int kRelayUrlSize = 36 + sizeof IP_addr;

// Paints the whole window from a snapshot of the display record, showing a hidden window. Start-up sets
// it; the relay module sits below the painting and reaches it only through this.
using RelayPainter = void (*)(t_ShowData);
void SetRelayPainter(RelayPainter painter);
// Hears what became of press `press`: the unit's HTTP status, or 0 when it did not answer. Called on the
// relay's worker, under its link; start-up sets it, so that the window can say it.
using RelayResultSink = void (*)(unsigned press, int status);
void SetRelayResultSink(RelayResultSink sink);

// The URL that switches relay rele (1 or 2) of the unit at address, the address taken verbatim.
void FormatRelayUrl(char (&url)[kRelayUrlSize], int rele, const char* address);
// One GET switching relay rele at address: TRUE when the unit answered, whatever the status (which goes
// to *status when given). A stop abandons the request at once.
BOOL SendRelayCommand(int rele, const char* address, std::stop_token stop, int* status = nullptr);

// The command of press `press`: sends it; when the unit did not answer, the video counts as lost
// (Kill_TCP), and while the video is lost the window is repainted, which brings the connecting notice
// and a hidden window into view. Then the result goes to the sink. The display record, the window and
// the sink are touched only under the link; a command stopped or cut off touches none of them. Never
// sent again: a door must not open late or twice.
void relay(int rele, unsigned press, const char* address, std::stop_token stop, ProgramLink& link);
