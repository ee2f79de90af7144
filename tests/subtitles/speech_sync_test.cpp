// The solve on made-up movies: lines laid out as in a film, speech levels where they are
// spoken, the lines' times then distorted as releases distort them.
#include "speech_sync.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "subtitle_timing.h"
#include "sync_evidence.h"

namespace captivo {
namespace {

// A fixed sequence of numbers, the same on every machine.
class Numbers {
 public:
  explicit Numbers(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int64_t Between(int64_t low, int64_t high) {
    return low + int64_t(Next() % uint64_t(high - low + 1));
  }
  bool Chance(double share) { return double(Next() % 1'000'000) < share * 1e6; }

 private:
  uint64_t state_;
};

// How far the speech is from the lines: each spoken up to `jitterMs` from its start, a
// share not spoken at all, and bursts of noise taken for speech.
struct Roughness {
  int64_t jitterMs = 0;
  double unspoken = 0;
  double burstsPerMinute = 0;
};

struct Movie {
  std::vector<LineTimes> lines;  // the true times
  std::vector<uint8_t> levels;   // one a 10 ms frame
};

Movie MakeMovie(uint64_t seed, int lineCount, const Roughness& rough = {}) {
  Numbers numbers(seed);
  Movie movie;
  int64_t at = 2'000;
  for (int i = 0; i < lineCount; ++i) {
    const int64_t start = at + numbers.Between(300, 4'000);
    const int64_t end = start + numbers.Between(1'000, 4'000);
    movie.lines.push_back({start, end});
    at = end;
  }
  const int64_t frames = (at + 5'000) / 10;
  movie.levels.resize(size_t(frames));
  for (uint8_t& level : movie.levels) level = uint8_t(numbers.Between(0, 60));
  for (const LineTimes& line : movie.lines) {
    if (numbers.Chance(rough.unspoken)) continue;
    const int64_t from = line.startMs + numbers.Between(-rough.jitterMs, rough.jitterMs);
    const int64_t until = from + (line.endMs - line.startMs) * numbers.Between(60, 90) / 100;
    for (int64_t f = std::max<int64_t>(0, from / 10); f < until / 10 && f < frames; ++f)
      movie.levels[size_t(f)] = uint8_t(numbers.Between(180, 255));
  }
  const int64_t bursts = int64_t(rough.burstsPerMinute * double(frames) / 6'000);
  for (int64_t b = 0; b < bursts; ++b) {
    const int64_t from = numbers.Between(0, frames - 1), length = numbers.Between(10, 60);
    for (int64_t f = from; f < std::min(frames, from + length); ++f) movie.levels[size_t(f)] = 200;
  }
  return movie;
}

// How a subtitle's times differ from the movie's: made at `subtitleRate` for a release
// the movie plays at `movieRate`, shifted by `offsetMs`, and from line `cutLine` on
// shifted by `cutMs` more (stored times).
struct Distortion {
  double movieRate, subtitleRate;
  int64_t offsetMs;
  size_t cutLine = SIZE_MAX;
  int64_t cutMs = 0;
};

SyncSubject Distort(const std::vector<LineTimes>& lines, const Distortion& d) {
  SyncSubject subject;
  subject.movieFrameRate = d.movieRate;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto stored = [&](int64_t ms) {
      return std::llround(double(ms) * d.movieRate / d.subtitleRate) + d.offsetMs +
             (i >= d.cutLine ? d.cutMs : 0);
    };
    subject.lines.push_back({stored(lines[i].startMs), stored(lines[i].endMs)});
  }
  return subject;
}

// Each line's start as `result` shows it, less its true start.
std::vector<double> StartErrors(const std::vector<LineTimes>& truth, const SyncSubject& subject,
                                const SyncResult& result) {
  const SubtitleTiming timing{.offsetMilliseconds = result.offsetMs,
                              .movieFrameRate = subject.movieFrameRate,
                              .rateChoice = RateChoice::Own(result.subtitleFrameRate)};
  std::vector<double> errors;
  for (size_t i = 0; i < truth.size(); ++i) {
    double stored = double(subject.lines[i].startMs);
    if (result.cut && stored >= double(result.cut->fromStoredMs)) stored += result.cut->shiftMs;
    errors.push_back(std::fabs(timing.ShownAtMs(stored) - double(truth[i].startMs)));
  }
  return errors;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[size_t(std::ceil(share * double(values.size()))) - 1];
}

const auto kGoOn = [](double) { return true; };

const Distortion kDistortions[] = {
    {25, 25, 0},
    {25, 25, 1'000},
    {25, 25, -2'500},
    {25, 25, 61'000},
    {25, 25, -119'000},
    {25, 25, 299'000},  // near the reach of five minutes, and within it
    {23.976, 25, 2'980},
    {25, 23.976, 2'980},
    {25, 24, -4'100},
    {24, 25, -4'100},
    {23.976, 24, 1'500},
    {24, 23.976, 1'500},
    {25, 29.97, 700},
    {29.97, 25, 700},
    {23.976, 23.976 * 1.001, 300},  // a rate near the movie's own
};

TEST(SyncToSpeech, UndoesEachDistortionOfCleanSpeech) {
  const Movie movie = MakeMovie(1, 200);
  for (const Distortion& d : kDistortions) {
    const SyncSubject subject = Distort(movie.lines, d);
    const SyncResult result = SyncToSpeech(subject, {movie.levels, 10}, kGoOn);
    ASSERT_EQ(result.outcome, SyncOutcome::Solved) << d.subtitleRate << " " << d.offsetMs;
    EXPECT_NEAR(result.subtitleFrameRate, d.subtitleRate, d.subtitleRate * 1e-5) << d.offsetMs;
    EXPECT_FALSE(result.cut) << d.offsetMs;
    EXPECT_GE(result.agreementPercent, 95) << d.offsetMs;
    EXPECT_LE(Percentile(StartErrors(movie.lines, subject, result), 1.0), 15) << d.offsetMs;
  }
}

TEST(SyncToSpeech, UndoesEachDistortionOfRoughSpeech) {
  const Movie movie = MakeMovie(2, 200, {.jitterMs = 150, .unspoken = 0.15, .burstsPerMinute = 10});
  for (const Distortion& d : kDistortions) {
    const SyncSubject subject = Distort(movie.lines, d);
    const SyncResult result = SyncToSpeech(subject, {movie.levels, 10}, kGoOn);
    ASSERT_EQ(result.outcome, SyncOutcome::Solved) << d.subtitleRate << " " << d.offsetMs;
    EXPECT_FALSE(result.cut) << d.offsetMs;
    const std::vector<double> errors = StartErrors(movie.lines, subject, result);
    EXPECT_LE(Percentile(errors, 0.5), 40) << d.subtitleRate << " " << d.offsetMs;
    EXPECT_LE(Percentile(errors, 0.95), 120) << d.subtitleRate << " " << d.offsetMs;
  }
}

TEST(SyncToSpeech, FindsACutAndTimesEachPart) {
  struct Case {
    Roughness rough;
    Distortion distortion;
  } cases[] = {
      {{}, {25, 25, 2'000, 80, 15'000}},
      {{}, {25, 25, -5'000, 120, -8'000}},
      {{}, {23.976, 25, 1'000, 60, 42'000}},
      {{.jitterMs = 150, .unspoken = 0.15, .burstsPerMinute = 10}, {25, 25, 2'000, 100, 15'000}},
      {{.jitterMs = 150, .unspoken = 0.15, .burstsPerMinute = 10}, {25, 24, -3'000, 70, -20'000}},
  };
  for (const Case& c : cases) {
    const Movie movie = MakeMovie(3, 200, c.rough);
    const SyncSubject subject = Distort(movie.lines, c.distortion);
    const SyncResult result = SyncToSpeech(subject, {movie.levels, 10}, kGoOn);
    ASSERT_EQ(result.outcome, SyncOutcome::Solved) << c.distortion.cutMs;
    ASSERT_TRUE(result.cut) << c.distortion.cutMs;
    // The cut falls on the line, or a few beside it where lines near it were not spoken.
    EXPECT_NEAR(double(result.cut->fromLine), double(c.distortion.cutLine), 3)
        << c.distortion.cutMs;
    EXPECT_NEAR(result.cut->shiftMs, -c.distortion.cutMs, 150) << c.distortion.cutMs;
    const std::vector<double> errors = StartErrors(movie.lines, subject, result);
    EXPECT_LE(Percentile(errors, 0.5), 40) << c.distortion.cutMs;
    EXPECT_LE(Percentile(errors, 0.95), 120) << c.distortion.cutMs;
  }
}

TEST(SyncToSpeech, ACutKeepsTheDialogueInOrder) {
  // The lines before the cut are not heard: they lie on no speech with either part's
  // offset. Moved with the second part they would show 42 s early, before lines they
  // follow, so they stay with the first.
  Movie movie = MakeMovie(12, 200);
  constexpr size_t kCut = 80;
  for (size_t i = kCut - 8; i < kCut; ++i)
    std::fill(movie.levels.begin() + movie.lines[i].startMs / 10 - 50,
              movie.levels.begin() + movie.lines[i].endMs / 10 + 50, 30);
  const SyncSubject subject = Distort(movie.lines, {25, 25, 1'000, kCut, 42'000});
  const SyncResult result = SyncToSpeech(subject, {movie.levels, 10}, kGoOn);
  ASSERT_EQ(result.outcome, SyncOutcome::Solved);
  ASSERT_TRUE(result.cut);
  EXPECT_EQ(result.cut->fromLine, kCut);
}

TEST(SyncToSpeech, LinesGivenOutOfOrderKeepTheirIndices) {
  const Movie movie = MakeMovie(4, 200);
  SyncSubject subject = Distort(movie.lines, {25, 25, 2'000, 100, 15'000});
  // The file lists the moved lines first: the cut names the earliest moved line by its place.
  std::rotate(subject.lines.begin(), subject.lines.begin() + 100, subject.lines.end());
  const SyncResult result = SyncToSpeech(subject, {movie.levels, 10}, kGoOn);
  ASSERT_EQ(result.outcome, SyncOutcome::Solved);
  ASSERT_TRUE(result.cut);
  EXPECT_LE(result.cut->fromLine, 2u);
  EXPECT_EQ(result.cut->fromStoredMs, subject.lines[result.cut->fromLine].startMs);
}

TEST(SyncToSpeech, FrameNumberedLinesKeepTheirRate) {
  const Movie movie = MakeMovie(5, 200);
  SyncSubject subject = Distort(movie.lines, {25, 25, 3'210});
  subject.onlyRate = 25;
  const SyncResult result = SyncToSpeech(subject, {movie.levels, 10}, kGoOn);
  ASSERT_EQ(result.outcome, SyncOutcome::Solved);
  EXPECT_EQ(result.subtitleFrameRate, 25);
  EXPECT_NEAR(result.offsetMs, 3'210, 15);
}

TEST(SyncToSpeech, SaysWhyItCannotSolve) {
  const Movie movie = MakeMovie(6, 200);
  const Movie other = MakeMovie(7, 200);
  const std::vector<uint8_t> silence(movie.levels.size(), 0);
  // Bursts everywhere, as music taken for speech.
  const Movie music = MakeMovie(8, 0, {.burstsPerMinute = 60});
  const std::vector<uint8_t> none;
  auto solve = [](std::vector<LineTimes> lines, const std::vector<uint8_t>& levels,
                  double rate = 25) {
    return SyncToSpeech({std::move(lines), rate, std::nullopt}, {levels, 10}, kGoOn).outcome;
  };
  EXPECT_EQ(solve({}, movie.levels), SyncOutcome::NoLines);
  EXPECT_EQ(solve({movie.lines[0]}, movie.levels), SyncOutcome::TooFewLines);
  EXPECT_EQ(solve({movie.lines.begin(), movie.lines.begin() + 4}, movie.levels),
            SyncOutcome::TooFewLines);
  EXPECT_EQ(solve(movie.lines, movie.levels, 0), SyncOutcome::NoMovieRate);
  EXPECT_EQ(solve(movie.lines, silence), SyncOutcome::NoSpeech);
  EXPECT_EQ(solve(movie.lines, none), SyncOutcome::NoSpeech);
  EXPECT_EQ(solve(movie.lines, other.levels), SyncOutcome::TooLittleAgreement);
  std::vector<uint8_t> longMusic = music.levels;
  longMusic.resize(movie.levels.size() * 2, 0);
  for (size_t f = music.levels.size(); f < longMusic.size(); ++f)
    longMusic[f] = music.levels[f % music.levels.size()];
  EXPECT_EQ(solve(movie.lines, longMusic), SyncOutcome::TooLittleAgreement);
}

TEST(SyncToSpeech, StopsWhenAskedAndReportsProgress) {
  const Movie movie = MakeMovie(9, 200);
  std::vector<double> shares;
  const SyncResult done =
      SyncToSpeech({movie.lines, 25, std::nullopt}, {movie.levels, 10}, [&](double share) {
        shares.push_back(share);
        return true;
      });
  EXPECT_EQ(done.outcome, SyncOutcome::Solved);
  ASSERT_GE(shares.size(), 3u);
  EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
  EXPECT_EQ(shares.back(), 1.0);
  int calls = 0;
  const SyncResult stopped = SyncToSpeech({movie.lines, 25, std::nullopt}, {movie.levels, 10},
                                          [&](double) { return ++calls < 2; });
  EXPECT_EQ(stopped.outcome, SyncOutcome::Cancelled);
  EXPECT_EQ(calls, 2);
}

TEST(SyncToLines, LaysTheLinesOnTheReference) {
  const Movie movie = MakeMovie(10, 200);
  for (const Distortion& d :
       {Distortion{25, 25, 45'000}, Distortion{23.976, 25, -2'000, 90, 30'000}}) {
    const SyncSubject subject = Distort(movie.lines, d);
    const SyncResult result = SyncToLines(subject, movie.lines, kGoOn);
    ASSERT_EQ(result.outcome, SyncOutcome::Solved) << d.offsetMs;
    EXPECT_EQ(result.cut.has_value(), d.cutLine != SIZE_MAX);
    EXPECT_LE(Percentile(StartErrors(movie.lines, subject, result), 1.0), 2) << d.offsetMs;
    EXPECT_EQ(result.agreementPercent, 100);
  }
  EXPECT_EQ(SyncToLines(Distort(movie.lines, kDistortions[0]), {}, kGoOn).outcome,
            SyncOutcome::NoSpeech);
  EXPECT_EQ(
      SyncToLines(Distort(movie.lines, kDistortions[0]), MakeMovie(11, 200).lines, kGoOn).outcome,
      SyncOutcome::TooLittleAgreement);
}

TEST(EvidenceFromSpeech, OnsetsFollowPausesAndIgnoreBlips) {
  std::vector<uint8_t> levels(300, 0);
  auto speak = [&](int from, int until) {
    std::fill(levels.begin() + from, levels.begin() + until, 255);
  };
  speak(30, 60);    // after 300 ms of silence: an onset at 305 ms
  speak(62, 80);    // a 20 ms break is the speech's own
  speak(100, 102);  // a 20 ms blip is not speech
  speak(110, 150);  // 300 ms after the last speech: an onset
  speak(160, 200);  // only 100 ms after: no onset
  const Evidence evidence = EvidenceFromSpeech({levels, 10});
  EXPECT_EQ(evidence.onsetsMs, (std::vector<int64_t>{305, 1105}));
  EXPECT_EQ(evidence.frames.size(), 300u);
  EXPECT_FLOAT_EQ(evidence.frames[30], 1.0f);
  // Levels in frames of 20 ms are spread over two frames each.
  const Evidence coarse = EvidenceFromSpeech({std::vector<uint8_t>{0, 255}, 20});
  EXPECT_EQ(coarse.frames, (std::vector<float>{0, 0, 1, 1}));
}

TEST(EvidenceFromSpeech, OnsetsLieBackAlongTheRiseBeforeTheCrossing) {
  // Speech crosses the level at frame 40 (405 ms) each time; before it, the levels given.
  const struct {
    std::vector<uint8_t> before;
    int64_t onsetMs;
  } cases[] = {
      {{}, 405},                   // from silence at once: a step stays where it is
      {{40, 80, 120}, 405 - 18},   // rising from frame 37: six tenths of 30 ms back
      {{100, 60, 120}, 405 - 12},  // only the rise after the dip counts
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> levels(100, 0);
    std::copy(c.before.begin(), c.before.end(), levels.begin() + 40 - int(c.before.size()));
    std::fill(levels.begin() + 40, levels.begin() + 70, 255);
    EXPECT_EQ(EvidenceFromSpeech({levels, 10}).onsetsMs, std::vector<int64_t>{c.onsetMs})
        << c.before.size();
  }
  // A slow rise is followed back a pause's length at most.
  std::vector<uint8_t> slow(100, 0);
  for (int f = 1; f < 40; ++f) slow[size_t(f)] = uint8_t(f * 3);
  std::fill(slow.begin() + 40, slow.begin() + 70, 255);
  EXPECT_EQ(EvidenceFromSpeech({slow, 10}).onsetsMs, std::vector<int64_t>{405 - 120});
}

TEST(EvidenceFromLines, CoversTheLinesAndHoldsNoHours) {
  // A line that ends as it starts is never shown: no reference.
  const std::vector<LineTimes> lines = {
      {100, 300}, {250, 400}, {500, 500}, {1'000, int64_t(1) << 40}};
  const Evidence evidence = EvidenceFromLines(lines);
  EXPECT_EQ(evidence.onsetsMs, (std::vector<int64_t>{100, 250, 1'000}));
  EXPECT_EQ(evidence.frames[9], 0);
  EXPECT_EQ(evidence.frames[10], 1);
  EXPECT_EQ(evidence.frames[39], 1);
  EXPECT_EQ(evidence.frames[40], 0);
  // An end far off is taken as half a minute after the start.
  EXPECT_EQ(evidence.frames.size(), 3'101u);
}

}  // namespace
}  // namespace captivo
