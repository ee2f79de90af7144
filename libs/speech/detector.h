#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "audio_track.h"

namespace speech {

// Speech is told apart in frames of this length.
inline constexpr int kFrameMs = 10;
inline constexpr int kFrameSamples = kSampleRate * kFrameMs / 1000;

// Turns a continuous stream of samples at kSampleRate into one level a frame, 0 (no
// speech) to 255 (speech surely). A detector may hold frames back while it looks ahead;
// it appends them in order, each exactly once, by the time Finish returns.
class Detector {
 public:
  virtual ~Detector() = default;
  virtual void Feed(std::span<const float> samples, std::vector<uint8_t>& levels) = 0;
  virtual void Finish(std::vector<uint8_t>& levels) = 0;
  // How much sound before a frame the detector needs to settle, and after it to decide.
  virtual int SettleMs() const = 0;
  virtual int LookAheadMs() const = 0;
};

using DetectorFactory = std::function<std::unique_ptr<Detector>()>;

}  // namespace speech
