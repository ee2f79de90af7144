#include "sync_evidence.h"

#include <algorithm>
#include <cmath>

namespace captivo {

namespace {

// A frame counts as speech from this level on.
constexpr uint8_t kSpeechLevel = 128;
// Speech begins a line only after this much time without it; shorter breaks and blips
// are the speech's own.
constexpr int kPauseFrames = 200 / kEvidenceFrameMs;
constexpr int kBlipFrames = 50 / kEvidenceFrameMs;
// Under loud background a syllable's level rises over several frames and crosses
// kSpeechLevel late; speech began near the start of that rise. The onset is taken this
// share of the way back from the crossing to where the level began to rise: within about
// 15 ms of the speech's start under quiet background (early) and loud (late) alike.
constexpr double kRiseShare = 0.6;
// No reference line beyond a day is looked at.
constexpr int64_t kLatestMs = 24 * 3'600'000;

// The onset of the speech that crosses kSpeechLevel at evidence frame `crossing`: back
// along the rising levels before it (none from silence: a plain step stays), at most a pause.
int64_t OnsetMs(std::span<const uint8_t> levels, int frameMs, int64_t crossing) {
  const int64_t first = crossing * kEvidenceFrameMs / frameMs;
  const int64_t farthest = int64_t(kPauseFrames) * kEvidenceFrameMs / frameMs;
  int64_t rise = first;
  while (rise > 0 && first - rise < farthest && levels[size_t(rise - 1)] > 0 &&
         levels[size_t(rise - 1)] < levels[size_t(rise)])
    --rise;
  return crossing * kEvidenceFrameMs + kEvidenceFrameMs / 2 -
         std::llround(kRiseShare * double((first - rise) * frameMs));
}

}  // namespace

Evidence EvidenceFromSpeech(const SpeechLevels& speech) {
  Evidence evidence;
  if (speech.frameMs <= 0 || speech.levels.empty()) return evidence;
  const int64_t durationMs = int64_t(speech.levels.size()) * speech.frameMs;
  evidence.frames.resize(size_t(durationMs / kEvidenceFrameMs));
  std::vector<bool> spoken(evidence.frames.size());
  for (size_t k = 0; k < evidence.frames.size(); ++k) {
    const uint8_t level = speech.levels[size_t(int64_t(k) * kEvidenceFrameMs / speech.frameMs)];
    evidence.frames[k] = level / 255.0f;
    spoken[k] = level >= kSpeechLevel;
  }
  // Runs of speech, with breaks shorter than a blip closed; a run longer than a blip that
  // follows a pause begins at its first frame's middle.
  int64_t quietSince = -kPauseFrames, runStart = -1;
  for (int64_t k = 0; k <= int64_t(spoken.size()); ++k) {
    const bool on = k < int64_t(spoken.size()) && spoken[size_t(k)];
    if (on && runStart < 0) {
      runStart = k;
    } else if (!on && runStart >= 0) {
      // A break: look ahead to see whether it is short enough to close.
      int64_t next = k;
      while (next < int64_t(spoken.size()) && next - k < kBlipFrames && !spoken[size_t(next)])
        ++next;
      if (next < int64_t(spoken.size()) && next - k < kBlipFrames) {
        k = next - 1;
        continue;
      }
      if (k - runStart >= kBlipFrames) {
        if (runStart - quietSince >= kPauseFrames)
          evidence.onsetsMs.push_back(OnsetMs(speech.levels, speech.frameMs, runStart));
        quietSince = k;
      }
      runStart = -1;
    }
  }
  return evidence;
}

Evidence EvidenceFromLines(std::span<const LineTimes> lines) {
  Evidence evidence;
  auto endOf = [](const LineTimes& line) {
    return std::min({line.endMs, line.startMs + kLongestLineMs, kLatestMs});
  };
  int64_t endMs = 0;
  for (const LineTimes& line : lines) endMs = std::max(endMs, endOf(line));
  evidence.frames.assign(size_t(endMs / kEvidenceFrameMs + 1), 0.0f);
  for (const LineTimes& line : lines) {
    if (endOf(line) <= line.startMs) continue;
    const int64_t first = std::max<int64_t>(0, line.startMs / kEvidenceFrameMs);
    const int64_t last = endOf(line) / kEvidenceFrameMs;
    std::fill(evidence.frames.begin() + first, evidence.frames.begin() + std::max(first, last),
              1.0f);
    if (line.startMs >= 0) evidence.onsetsMs.push_back(line.startMs);
  }
  std::sort(evidence.onsetsMs.begin(), evidence.onsetsMs.end());
  return evidence;
}

}  // namespace captivo
