#pragma once

#include <memory>

#include "detector.h"

namespace captivo::bench {

// The voice-activity detector of WebRTC's audio processing, through its public interface:
// one yes or no a frame, as the peer the project's own detector is measured against.
// `likelihood`: 0 (very low) to 3 (high), how sure it must be to say yes.
std::unique_ptr<speech::Detector> MakeWebRtcDetector(int likelihood);

}  // namespace captivo::bench
