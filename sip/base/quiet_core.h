// Making a core from the configuration text: quiet logs, UDP on one port, no video, free media ports.
#pragma once

#include <linphone/core.h>

#include <functional>

// Where the core looks for media plugins: a folder that never exists.
inline constexpr const char* kNoMediaPlugins = "/nonexistent";

// Makes a core (not started) from CoreConfigText(), after adjust has changed the configuration. The
// library logs only when the environment variable logVariable is set to something other than "0".
// SIP only on UDP udpPort (0: none; -1: any free one); audio on a free port; no video captured or shown;
// no media plugins; the door codecs only (KeepDoorCodecs).
// nullptr when the library cannot make it.
LinphoneCore* MakeQuietCore(const char* logVariable, int udpPort,
                            const std::function<void(LinphoneConfig*)>& adjust = {});
