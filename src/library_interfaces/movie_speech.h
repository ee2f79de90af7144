#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "speech.h"
#include "speech_sync.h"

namespace captivo {

// A movie's speech as the speech library reads it, owned here: the levels (one each
// SPEECH_FRAME_MS) and the movie's facts, or why they could not be read.
struct MovieSpeech {
  SyncOutcome outcome = SyncOutcome::Solved;  // Solved: read; else a reading's failure
  std::vector<uint8_t> levels;
  SpeechMovie movie{};
  std::string error;  // why the library could not be loaded, when it could not
};

// Reads the speech of `audioTrack` (-1: the one a player takes), loading the library
// first; `progress` gets the share read, 0 to 1, and stops the reading with false. Blocks:
// call it from a worker thread.
MovieSpeech ReadMovieSpeech(const std::string& moviePath, int32_t audioTrack,
                            const std::function<bool(double)>& progress);

// The reading's failure for a status other than SPEECH_READ.
SyncOutcome SpeechFailure(int32_t status);

}  // namespace captivo
