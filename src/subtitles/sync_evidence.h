#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "speech_sync.h"

namespace captivo {

inline constexpr int kEvidenceFrameMs = 10;
// A line is taken to speak for this long at most: an open end is not hours of speech.
inline constexpr int64_t kLongestLineMs = 30'000;

// What lines are laid on, frame by frame from the movie's start: how much each frame
// speaks for a line being shown, 0 to 1, and the moments a line may start, rising (speech
// that begins after a pause, or the reference lines' starts).
struct Evidence {
  std::vector<float> frames;
  std::vector<int64_t> onsetsMs;
};

Evidence EvidenceFromSpeech(const SpeechLevels& speech);
Evidence EvidenceFromLines(std::span<const LineTimes> lines);

}  // namespace captivo
