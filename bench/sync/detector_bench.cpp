// detector_bench: how well each speech detector finds the speech of the test movies, and
// how long it takes with the sound's reading.
//
//   detector_bench MOVIE_BASE...
//
// For each movie and detector: the time to read and detect, the share of speech frames
// found, the share of frames without speech taken for speech, and how far from each
// line's speech onset (after at least 300 ms without speech) the detector's onset lies.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "activity_reader.h"
#include "speech_truth.h"
#include "sync_evidence.h"
#include "voice_band_detector.h"
#include "webrtc_detector.h"

namespace {

using namespace captivo::bench;

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[size_t(p * double(values.size() - 1))];
}

void Report(const std::string& movie, const std::string& name, const speech::Activity& activity,
            double seconds, const std::vector<SpokenLine>& truth) {
  const auto& levels = activity.levels;
  std::vector<char> speech(levels.size(), 0);
  for (const SpokenLine& line : truth)
    if (line.spoken)
      for (int64_t f = line.speechStartMs / 10;
           f < line.speechEndMs / 10 && f < int64_t(levels.size()); ++f)
        speech[size_t(f)] = 1;
  double hits = 0, speechFrames = 0, alarms = 0, quietFrames = 0;
  for (size_t f = 0; f < levels.size(); ++f) {
    const bool said = levels[f] >= 128;
    if (speech[f])
      speechFrames++, hits += said;
    else
      quietFrames++, alarms += said;
  }
  // Onsets as the solver takes them, against the lines whose speech follows a pause.
  const captivo::Evidence evidence = captivo::EvidenceFromSpeech({levels, speech::kFrameMs});
  std::vector<double> onsetErrors;
  size_t onsets = 0;
  for (const SpokenLine& line : truth) {
    if (!line.spoken) continue;
    const int64_t at = line.speechStartMs / 10;
    bool quietBefore = at >= 30;
    for (int64_t f = at - 30; quietBefore && f < at; ++f) quietBefore = !speech[size_t(f)];
    if (!quietBefore) continue;
    ++onsets;
    const auto& o = evidence.onsetsMs;
    const auto after = std::lower_bound(o.begin(), o.end(), line.speechStartMs);
    double best = 1e9;
    if (after != o.end()) best = double(*after - line.speechStartMs);
    if (after != o.begin() &&
        std::fabs(double(*(after - 1) - line.speechStartMs)) < std::fabs(best))
      best = double(*(after - 1) - line.speechStartMs);
    if (std::fabs(best) <= 200) onsetErrors.push_back(best);
  }
  std::printf(
      "%-22s %-12s %6.2f s  speech found %5.1f %%  false %5.1f %%  onsets found %5.1f %%  "
      "onset within 200 ms: median %+4.0f ms, 10th %+4.0f, 90th %+4.0f\n",
      movie.c_str(), name.c_str(), seconds, 100 * hits / std::max(1.0, speechFrames),
      100 * alarms / std::max(1.0, quietFrames),
      100.0 * double(onsetErrors.size()) / double(std::max<size_t>(1, onsets)),
      Percentile(onsetErrors, 0.5), Percentile(onsetErrors, 0.1), Percentile(onsetErrors, 0.9));
}

}  // namespace

int main(int argc, char** argv) {
  struct Named {
    std::string name;
    speech::DetectorFactory make;
  };
  std::vector<Named> detectors = {
      {"voice-band", [] { return std::make_unique<speech::VoiceBandDetector>(); }}};
  for (int likelihood = 0; likelihood <= 3; likelihood += 3)
    detectors.push_back({"webrtc-" + std::to_string(likelihood),
                         [likelihood] { return MakeWebRtcDetector(likelihood); }});
  for (int i = 1; i < argc; ++i) {
    const std::string base = argv[i];
    const std::vector<SpokenLine> truth = ReadTruth(base);
    for (const Named& detector : detectors) {
      const auto begin = std::chrono::steady_clock::now();
      const speech::Activity activity =
          speech::ReadActivity(base + ".mp4", -1, detector.make, [](double) { return true; });
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
      Report(base.substr(base.find_last_of('/') + 1), detector.name, activity, seconds, truth);
    }
  }
}
