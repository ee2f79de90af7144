#include "voice_band_detector.h"

extern "C" {
#include <libavutil/tx.h>
}

#include <algorithm>
#include <cmath>
#include <complex>

namespace speech {

namespace {

constexpr int kWindow = VoiceBandDetector::kWindow;
constexpr int kFloorFrames = 150;  // the floor's reach either side of a frame
// Where the bands lie: from 200 Hz to 3800 Hz, narrower low where the voice's harmonics are.
constexpr double kLowestHz = 200, kHighestHz = 3800;
// A band this far above its floor speaks for speech a little, and this much further fully.
constexpr float kAboveFloorDb = 6, kFullDb = 12;
// Energy below this counts as silence: no floor is lower.
constexpr float kSilenceDb = -100;

// The first bin of each band, and past the last band's end.
std::array<int, VoiceBandDetector::kBands + 1> BandEdges() {
  std::array<int, VoiceBandDetector::kBands + 1> edges;
  for (int band = 0; band <= VoiceBandDetector::kBands; ++band) {
    const double hz =
        kLowestHz * std::pow(kHighestHz / kLowestHz, double(band) / VoiceBandDetector::kBands);
    edges[size_t(band)] = int(std::lround(hz * kWindow / kSampleRate));
  }
  for (size_t band = 1; band < edges.size(); ++band)
    edges[band] = std::max(edges[band], edges[band - 1] + 1);
  return edges;
}

const std::array<int, VoiceBandDetector::kBands + 1> kEdges = BandEdges();

}  // namespace

VoiceBandDetector::VoiceBandDetector() : weights_(kWindow), samples_(kWindow, 0.0f) {
  const float scale = 1.0f;
  av_tx_init(&transform_, &run_, AV_TX_FLOAT_RDFT, 0, kWindow, &scale, 0);
  for (int i = 0; i < kWindow; ++i)
    weights_[size_t(i)] = float(0.5 - 0.5 * std::cos(2 * M_PI * (i + 0.5) / kWindow));
}

VoiceBandDetector::~VoiceBandDetector() {
  av_tx_uninit(&transform_);
}

int VoiceBandDetector::SettleMs() const {
  return kFloorFrames * kFrameMs + 500;
}

int VoiceBandDetector::LookAheadMs() const {
  return kFloorFrames * kFrameMs + kWindow * 1000 / kSampleRate;
}

void VoiceBandDetector::Feed(std::span<const float> samples, std::vector<uint8_t>& levels) {
  for (const float sample : samples) {
    // A damaged frame may decode to values that are not numbers: silence instead.
    samples_[head_] = std::isfinite(sample) ? sample : 0.0f;
    head_ = (head_ + 1) % kWindow;
    if (++fresh_ < kFrameSamples) continue;
    fresh_ = 0;
    // A frame's window reaches one frame past its end, so that its middle is the frame's.
    if (++hops_ < 2) continue;
    Analyse();
    if (analysed_ - decided_ > kFloorFrames) Decide(levels);
  }
}

void VoiceBandDetector::Finish(std::vector<uint8_t>& levels) {
  // Silence after the end completes the last frame and the window past it.
  if (hops_ == 0 && fresh_ == 0) return;
  const std::vector<float> after((fresh_ ? kFrameSamples - fresh_ : 0) + kFrameSamples, 0.0f);
  Feed(after, levels);
  while (decided_ < analysed_) Decide(levels);
}

void VoiceBandDetector::Analyse() {
  for (size_t i = 0; i < kWindow; ++i) in_[i] = samples_[(head_ + i) % kWindow] * weights_[i];
  // Without a transform (no memory for one) every frame is silence.
  if (transform_)
    run_(transform_, out_.data(), in_.data(), sizeof(float));
  else
    out_.fill(0.0f);
  const auto* bins = reinterpret_cast<const std::complex<float>*>(out_.data());
  Bands energy;
  for (int b = 0; b < kBands; ++b) {
    float power = 0;
    const int low = kEdges[size_t(b)], high = kEdges[size_t(b) + 1];
    for (int k = low; k < high; ++k) power += std::norm(bins[k]);
    energy[size_t(b)] = std::max(kSilenceDb, 10 * std::log10(power / float(high - low) + 1e-20f));
  }
  const int64_t frame = analysed_++;
  energies_.push_back(energy);
  for (int b = 0; b < kBands; ++b) {
    auto& least = least_[size_t(b)];
    while (!least.empty() && least.back().energy >= energy[size_t(b)]) least.pop_back();
    least.push_back({frame, energy[size_t(b)]});
  }
}

void VoiceBandDetector::Decide(std::vector<uint8_t>& levels) {
  const int64_t frame = decided_++;
  const Bands& energy = energies_[size_t(frame - energiesFirst_)];
  float score = 0;
  for (int b = 0; b < kBands; ++b) {
    auto& least = least_[size_t(b)];
    while (least.front().frame < frame - kFloorFrames) least.pop_front();
    const float floor = least.front().energy;
    score += std::clamp((energy[size_t(b)] - floor - kAboveFloorDb) / kFullDb, 0.0f, 1.0f);
  }
  levels.push_back(uint8_t(std::lround(255 * score / kBands)));
  // Frames before the next frame's window are no longer needed.
  while (energiesFirst_ < decided_ - kFloorFrames) {
    energies_.pop_front();
    ++energiesFirst_;
  }
}

}  // namespace speech
