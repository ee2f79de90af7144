#include "two_point_timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "conversions.h"
#include "subtitle_store.h"
#include "subtitle_timing.h"

namespace captivo {
namespace {

// What the caller offers: the movie's rate and the menu's.
std::vector<double> SnapRates(double movieRate) {
  return {movieRate, 23.976, 24, 25, 29.97, 30};
}

TEST(OffsetToStartAt, StartsTheLineAtThePosition) {
  struct Case {
    int32_t lineStart, moviePosition;
    double rate;
    int32_t milliseconds;
  } cases[] = {
      {2500, 2000, 25, 20000},  // the line is due 20 s later: subtitles early by 20 s
      {2000, 2500, 25, -20000},
      {100, 100, 25, 0},
      {1, 0, 23.976, 42},  // 41.708
      {-36, 1000, 23.976, -43210},
      {INT32_MAX, INT32_MIN, 0.001, INT32_MAX},  // saturated
      {INT32_MIN, INT32_MAX, 0.001, INT32_MIN},
      {2500, 2000, 0, 0},  // no rate
      {2500, 2000, -25, 0},
      {2500, 2000, std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const Case& c : cases) {
    const int32_t offset = OffsetToStartAt(c.lineStart, c.moviePosition, c.rate);
    EXPECT_EQ(offset, c.milliseconds) << c.lineStart << " at " << c.moviePosition;
    if (c.rate > 0 && offset != INT32_MAX && offset != INT32_MIN) {
      const SubtitleTiming timing{.offsetMilliseconds = offset, .movieFrameRate = c.rate};
      EXPECT_EQ(timing.SubtitlePosition(c.moviePosition), c.lineStart) << c.lineStart;
    }
  }
}

TEST(SolveTwoPointTiming, FindsDriftAndOffsetOfExactMarks) {
  struct Case {
    double subtitleRate, movieRate, offsetSeconds;
  } cases[] = {
      {25, 23.976, 0},                    // made for 25, played at 23.976: the subtitles drift late
      {23.976, 25, 0},                    // the reverse
      {25, 23.976, 30},                   // subtitles shown 30 s early as well
      {25, 23.976, -30},                  // or 30 s late
      {23.976, 24, 0},                    // 0.1 % apart and never mistaken for each other
      {24, 23.976, 5},   {25, 25, 12.5},  // no drift, an offset only
      {26.5, 25, 3},                      // a rate on no menu is kept as found
  };
  // A line far beyond the marks, as the store converts its start.
  const int32_t late = 6000;
  SubtitleStore store;
  store.StartReading(/*timesInSeconds=*/true);
  store.Append(late, late + 2, "late");
  for (const Case& c : cases) {
    // The movie time at which a line stored at `seconds` is due.
    auto moment = [&](double seconds) {
      return (seconds - c.offsetSeconds) * c.subtitleRate / c.movieRate;
    };
    const TimingMark first{100, moment(100)}, second{5000, moment(5000)};
    for (const auto& [a, b] : {std::pair(first, second), std::pair(second, first)}) {
      const auto solved = SolveTwoPointTiming(a, b, c.movieRate, SnapRates(c.movieRate));
      ASSERT_EQ(solved.outcome, TwoPointTiming::Outcome::Solved)
          << c.subtitleRate << " over " << c.movieRate;
      EXPECT_NEAR(solved.subtitleFrameRate, c.subtitleRate, 1e-9) << c.subtitleRate;
      EXPECT_EQ(solved.offsetMilliseconds, RoundToInt32(c.offsetSeconds * 1000));

      // The line far beyond the marks starts within a frame of its moment.
      const SubtitleTiming timing{.offsetMilliseconds = solved.offsetMilliseconds,
                                  .movieFrameRate = c.movieRate,
                                  .rateChoice = RateChoice::Own(solved.subtitleFrameRate)};
      const int32_t moviePosition = RoundToInt32(moment(late) * c.movieRate);
      EXPECT_LE(std::abs(timing.SubtitlePosition(moviePosition) -
                         store.StartFrame(0, solved.subtitleFrameRate)),
                1)
          << c.subtitleRate << " over " << c.movieRate << " offset " << c.offsetSeconds;
    }
  }
}

TEST(SolveTwoPointTiming, AKeyPressedLateStillSnapsToTheMenuRate) {
  struct Case {
    double subtitleRate, movieRate, lateSeconds;
  } cases[] = {
      {25, 23.976, 0.2}, {25, 23.976, -0.2}, {23.976, 25, 0.2}, {24, 25, 0.2}, {30, 29.97, 0.15},
  };
  for (const Case& c : cases) {
    // At one minute on time, at ten minutes late.
    const TimingMark a{60, 60 * c.subtitleRate / c.movieRate};
    const TimingMark b{600, 600 * c.subtitleRate / c.movieRate + c.lateSeconds};
    const auto solved = SolveTwoPointTiming(a, b, c.movieRate, SnapRates(c.movieRate));
    ASSERT_EQ(solved.outcome, TwoPointTiming::Outcome::Solved) << c.subtitleRate;
    EXPECT_EQ(solved.subtitleFrameRate, c.subtitleRate) << c.subtitleRate;
    // Half of the slip goes to each mark.
    EXPECT_LE(std::abs(solved.offsetMilliseconds), std::abs(c.lateSeconds) * 1000)
        << c.subtitleRate;
  }
}

TEST(SolveTwoPointTiming, SaysWhyMarksGiveNoTiming) {
  using Outcome = TwoPointTiming::Outcome;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  struct Case {
    TimingMark a, b;
    double movieRate;
    Outcome outcome;
    double rate;
  } cases[] = {
      {{100, 100}, {100, 200}, 25, Outcome::Unsolvable, 0},  // the same line twice
      {{100, 100}, {200, 100}, 25, Outcome::Unsolvable, 0},  // both at one movie time
      {{100, 100}, {200, 200}, 0, Outcome::Unsolvable, 0},   // no movie rate
      {{100, 100}, {200, 200}, -25, Outcome::Unsolvable, 0},
      {{100, 100}, {200, 200}, nan, Outcome::Unsolvable, 0},
      {{nan, 100}, {200, 200}, 25, Outcome::Unsolvable, 0},
      {{100, infinity}, {200, 200}, 25, Outcome::Unsolvable, 0},
      {{infinity, infinity}, {infinity, infinity}, 25, Outcome::Unsolvable, 0},
      {{100, 100}, {150, 159.9}, 25, Outcome::TooClose, 0},  // under a minute apart
      {{300, 300}, {250, 240.1}, 25, Outcome::TooClose, 0},
      {{100, 200}, {200, 100}, 25, Outcome::Reversed, 0},           // the later line marked earlier
      {{100, 100}, {200, 400}, 25, Outcome::FarFromMovieRate, 75},  // three times the rate
      {{100, 100}, {200, 180}, 25, Outcome::FarFromMovieRate, 20},  // 20 % below
      {{0, 0}, {600, 660.6}, 25, Outcome::FarFromMovieRate, 27.525},  // just beyond 10 %
  };
  for (const Case& c : cases) {
    const TwoPointTiming solved = SolveTwoPointTiming(c.a, c.b, c.movieRate, SnapRates(25));
    EXPECT_EQ(solved.outcome, c.outcome)
        << c.a.subtitleSeconds << "," << c.a.movieSeconds << " " << c.b.subtitleSeconds << ","
        << c.b.movieSeconds << " at " << c.movieRate;
    EXPECT_NEAR(solved.subtitleFrameRate, c.rate, 1e-9) << c.b.movieSeconds;
  }
  // Just inside 10 %: taken as found.
  EXPECT_EQ(SolveTwoPointTiming({0, 0}, {600, 659.4}, 25, SnapRates(25)).outcome, Outcome::Solved);
}

}  // namespace
}  // namespace captivo
