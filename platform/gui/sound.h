// What PlaySoundA was last asked to play, for the program's tests and diagnostics.
#pragma once

#include <string>

struct SoundState {
  bool playing = false;  // a sound was started and not stopped since
  bool looped = false;
  std::string source;            // the file's path, or "resource N"
  bool deviceAvailable = false;  // whether the last start found a sound output to play on
};

// Any thread.
SoundState CurrentSound();
