// sync_bench: how well and how fast subtitles are synchronised to the speech of the test
// movies, over a table of distortions of their true timing.
//
//   sync_bench [--webrtc] MOVIE_BASE...
//
// Each movie's sound is read and its speech found once (timed); then each distortion of
// its subtitle is solved and every line's start, shown with the timing found, is compared
// with its true start; last, the lines of each other movie are laid on its speech, which
// must not be taken for a fit. --webrtc finds the speech with WebRTC's detector instead.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "activity_reader.h"
#include "speech_sync.h"
#include "speech_truth.h"
#include "subtitle_timing.h"
#include "voice_band_detector.h"
#include "webrtc_detector.h"

namespace {

using namespace captivo;
using namespace captivo::bench;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// How a subtitle's timing differs from the movie's: made for a release at `subtitleRate`
// while the movie plays at `movieRate`, shifted by `offsetMs`, and from the line at
// `cutShare` of them on shifted by `cutMs` more.
struct Distortion {
  const char* name;
  double movieRate, subtitleRate;
  int64_t offsetMs;
  double cutShare = 0;
  int64_t cutMs = 0;
};

const Distortion kDistortions[] = {
    {"none", 23.976, 23.976, 0},
    {"offset +1 s", 23.976, 23.976, 1'000},
    {"offset -2.5 s", 23.976, 23.976, -2'500},
    {"offset +7.3 s", 23.976, 23.976, 7'300},
    {"offset -15 s", 23.976, 23.976, -15'000},
    {"offset +45 s", 23.976, 23.976, 45'000},
    {"offset -61 s", 23.976, 23.976, -61'000},
    {"offset +90 s", 23.976, 23.976, 90'000},
    {"offset -120 s", 23.976, 23.976, -120'000},
    {"offset +120 s", 23.976, 23.976, 120'000},
    {"25 -> 23.976, +2.98 s", 23.976, 25, 2'980},
    {"23.976 -> 25, +2.98 s", 25, 23.976, 2'980},
    {"24 -> 25, -4.1 s", 25, 24, -4'100},
    {"25 -> 24, -4.1 s", 24, 25, -4'100},
    {"24 -> 23.976, +1.5 s", 23.976, 24, 1'500},
    {"23.976 -> 24, +1.5 s", 24, 23.976, 1'500},
    {"29.97 -> 25, +0.7 s", 25, 29.97, 700},
    {"25 -> 29.97, +0.7 s", 29.97, 25, 700},
    {"cut at 40 %: +2 s, +15 s", 23.976, 23.976, 2'000, 0.4, 15'000},
    {"cut at 60 %: -5 s, -8 s", 23.976, 23.976, -5'000, 0.6, -8'000},
    {"cut at 30 %: 25 -> 23.976, +1 s, +42 s", 23.976, 25, 1'000, 0.3, 42'000},
};

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[size_t(std::ceil(share * double(values.size())) - 1)];
}

// Another movie's lines on this movie's speech: must not be taken for a fit.
void SolveWrongLines(const std::string& movie, const std::string& other,
                     const std::vector<SpokenLine>& otherTruth,
                     const std::vector<uint8_t>& levels) {
  SyncSubject subject;
  subject.movieFrameRate = 23.976;
  for (const SpokenLine& line : otherTruth) subject.lines.push_back({line.startMs, line.endMs});
  const SyncResult result =
      SyncToSpeech(subject, {levels, speech::kFrameMs}, [](double) { return true; });
  std::printf(
      "| %s | the lines of %s | %s (%d %% on speech, %d %% by chance) | | | | | |\n", movie.c_str(),
      other.c_str(),
      result.outcome == SyncOutcome::Solved ? "**solved: wrong**" : "not solved, as it should",
      result.agreementPercent, result.chancePercent);
}

void Solve(const std::string& movie, const std::vector<SpokenLine>& truth,
           const std::vector<uint8_t>& levels, const Distortion& distortion) {
  const size_t cutLine =
      distortion.cutShare > 0 ? size_t(distortion.cutShare * double(truth.size())) : truth.size();
  SyncSubject subject;
  subject.movieFrameRate = distortion.movieRate;
  for (size_t i = 0; i < truth.size(); ++i) {
    auto stored = [&](int64_t ms) {
      return int64_t(std::llround(double(ms) * distortion.movieRate / distortion.subtitleRate)) +
             distortion.offsetMs + (i >= cutLine ? distortion.cutMs : 0);
    };
    subject.lines.push_back({stored(truth[i].startMs), stored(truth[i].endMs)});
  }
  const Clock::time_point begin = Clock::now();
  const SyncResult result =
      SyncToSpeech(subject, {levels, speech::kFrameMs}, [](double) { return true; });
  const double seconds = Seconds(begin);
  if (result.outcome != SyncOutcome::Solved) {
    std::printf("| %s | %s | not solved (%d %% on speech, %d %% by chance) | | | | | %.2f s |\n",
                movie.c_str(), distortion.name, result.agreementPercent, result.chancePercent,
                seconds);
    return;
  }
  const SubtitleTiming timing{.offsetMilliseconds = result.offsetMs,
                              .movieFrameRate = distortion.movieRate,
                              .rateChoice = RateChoice::Own(result.subtitleFrameRate)};
  std::vector<double> errors;
  for (size_t i = 0; i < truth.size(); ++i) {
    double stored = double(subject.lines[i].startMs);
    if (result.cut && stored >= double(result.cut->fromStoredMs)) stored += result.cut->shiftMs;
    errors.push_back(std::fabs(timing.ShownAtMs(stored) - double(truth[i].startMs)));
  }
  const double within =
      100.0 *
      double(std::count_if(errors.begin(), errors.end(), [](double e) { return e <= 40; })) /
      double(errors.size());
  std::string cut = "-";
  if (result.cut)
    cut = "line " + std::to_string(result.cut->fromLine) + " (" + std::to_string(cutLine) + ")";
  else if (distortion.cutShare > 0)
    cut = "missed";
  std::printf("| %s | %s | %.0f ms | %.0f ms | %.0f %% | %s | %d %% (%d %%) | %.2f s |\n",
              movie.c_str(), distortion.name, Percentile(errors, 0.5), Percentile(errors, 0.95),
              within, cut.c_str(), result.agreementPercent, result.chancePercent, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  speech::DetectorFactory detector = [] { return std::make_unique<speech::VoiceBandDetector>(); };
  if (argc > 1 && std::string(argv[1]) == "--webrtc") {
    detector = [] { return MakeWebRtcDetector(0); };
    ++first;
  }
  std::printf(
      "| movie | distortion | median error | 95th percentile | within 40 ms | cut from (true) "
      "| lines on speech (by chance) | solve |\n"
      "| --- | --- | --- | --- | --- | --- | --- | --- |\n");
  auto name = [](const std::string& base) { return base.substr(base.find_last_of('/') + 1); };
  std::string reading =
      "\n| movie | length | its sound read and speech found |\n| --- | --- | --- |\n";
  for (int i = first; i < argc; ++i) {
    const std::string base = argv[i];
    const std::string movie = name(base);
    const std::vector<SpokenLine> truth = ReadTruth(base);
    const Clock::time_point begin = Clock::now();
    const speech::Activity activity =
        speech::ReadActivity(base + ".mp4", -1, detector, [](double) { return true; });
    char row[200];
    std::snprintf(row, sizeof row, "| %s | %lld min | %.2f s |\n", movie.c_str(),
                  static_cast<long long>(activity.facts.durationMs / 60'000), Seconds(begin));
    reading += row;
    for (const Distortion& distortion : kDistortions)
      Solve(movie, truth, activity.levels, distortion);
    for (int j = first; j < argc; ++j)
      if (name(argv[j]).substr(0, 2) != movie.substr(0, 2))
        SolveWrongLines(movie, name(argv[j]), ReadTruth(argv[j]), activity.levels);
  }
  std::printf("%s", reading.c_str());
}
