#pragma once

#include <array>
#include <deque>
#include <vector>

#include "detector.h"

struct AVTXContext;

namespace speech {

// Speech told by its energy in the voice's bands against each band's own floor. The floor
// of a band is the least energy it had within a second and a half either side, so that
// steady noise and hum sink into it while syllables, which come and go several times a
// second, stand above it.
class VoiceBandDetector : public Detector {
 public:
  static constexpr int kBands = 16;
  static constexpr int kWindow = 256;  // 32 ms: a few periods of the lowest voices
  static constexpr int kBins = kWindow / 2 + 1;

  VoiceBandDetector();
  ~VoiceBandDetector() override;
  VoiceBandDetector(const VoiceBandDetector&) = delete;
  VoiceBandDetector& operator=(const VoiceBandDetector&) = delete;

  void Feed(std::span<const float> samples, std::vector<uint8_t>& levels) override;
  void Finish(std::vector<uint8_t>& levels) override;
  int SettleMs() const override;
  int LookAheadMs() const override;

 private:
  using Bands = std::array<float, kBands>;  // decibels
  void Analyse();
  // Decides the oldest frame still held, its floor taken from the frames held around it.
  void Decide(std::vector<uint8_t>& levels);

  AVTXContext* transform_ = nullptr;
  void (*run_)(AVTXContext*, void*, void*, ptrdiff_t) = nullptr;
  std::vector<float> weights_;  // the analysis window
  std::vector<float> samples_;  // the last window of samples, oldest at head_
  size_t head_ = 0;
  size_t fresh_ = 0;  // samples taken since the last hop
  int64_t hops_ = 0;
  // The transform's input and output, aligned as FFmpeg's vector code needs.
  alignas(64) std::array<float, kWindow> in_;
  alignas(64) std::array<float, 2 * kBins> out_;
  int64_t analysed_ = 0, decided_ = 0;
  // The energies of the frames from the oldest undecided one's window on.
  std::deque<Bands> energies_;
  int64_t energiesFirst_ = 0;
  // For each band, the frames whose energy could still be the least of a later window,
  // with those energies, rising from the front.
  struct Candidate {
    int64_t frame;
    float energy;
  };
  std::array<std::deque<Candidate>, kBands> least_;
};

}  // namespace speech
