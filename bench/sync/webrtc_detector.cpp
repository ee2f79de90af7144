#include "webrtc_detector.h"

#include <webrtc/modules/audio_processing/include/audio_processing.h>
#include <webrtc/modules/interface/module_common_types.h>

#include <algorithm>
#include <cmath>

namespace captivo::bench {

namespace {

class WebRtcDetector : public speech::Detector {
 public:
  explicit WebRtcDetector(int likelihood) : processing_(webrtc::AudioProcessing::Create()) {
    webrtc::VoiceDetection* voice = processing_->voice_detection();
    voice->Enable(true);
    voice->set_likelihood(static_cast<webrtc::VoiceDetection::Likelihood>(likelihood));
    voice->set_frame_size_ms(speech::kFrameMs);
    frame_.sample_rate_hz_ = speech::kSampleRate;
    frame_.num_channels_ = 1;
    frame_.samples_per_channel_ = speech::kFrameSamples;
  }

  void Feed(std::span<const float> samples, std::vector<uint8_t>& levels) override {
    for (const float sample : samples) {
      frame_.data_[taken_++] = int16_t(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767));
      if (taken_ < speech::kFrameSamples) continue;
      taken_ = 0;
      processing_->ProcessStream(&frame_);
      levels.push_back(processing_->voice_detection()->stream_has_voice() ? 255 : 0);
    }
  }
  void Finish(std::vector<uint8_t>& levels) override {
    if (taken_ == 0) return;
    std::fill(frame_.data_ + taken_, frame_.data_ + speech::kFrameSamples, 0);
    taken_ = speech::kFrameSamples - 1;
    Feed(std::span<const float>(&silence_, 1), levels);
  }
  int SettleMs() const override { return 2000; }
  int LookAheadMs() const override { return 0; }

 private:
  std::unique_ptr<webrtc::AudioProcessing> processing_;
  webrtc::AudioFrame frame_;
  size_t taken_ = 0;
  const float silence_ = 0;
};

}  // namespace

std::unique_ptr<speech::Detector> MakeWebRtcDetector(int likelihood) {
  return std::make_unique<WebRtcDetector>(likelihood);
}

}  // namespace captivo::bench
