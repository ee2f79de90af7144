#include "subtitle_timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace captivo {
namespace {

TEST(SubtitleTiming, OffsetFramesRoundHalfToEven) {
  struct Case {
    int32_t offsetMilliseconds;
    double rate;
    int32_t frames;
  } cases[] = {
      {1000, 25, 25},        // one second early
      {-1500, 23.976, -36},  // -35.964
      {0, 25, 0},
      {100, 25, 2},  // 2.5
      {300, 25, 8},  // 7.5
      {-100, 25, -2},
      {-300, 25, -8},
      {20, 25, 0},  // 0.5
      {60, 25, 2},  // 1.5
      {1000, 0, 0},
      {INT32_MAX, 30, 64424509},
      {INT32_MIN, 30, -64424509},
      {INT32_MAX, 2000, INT32_MAX},  // beyond 32 bits in frames
      {INT32_MIN, 2000, INT32_MIN},
  };
  for (const Case& c : cases) {
    const SubtitleTiming timing{.offsetMilliseconds = c.offsetMilliseconds,
                                .movieFrameRate = c.rate};
    EXPECT_EQ(timing.OffsetFrames(), c.frames) << c.offsetMilliseconds << " ms at " << c.rate;
  }
}

TEST(SubtitleTiming, PositionsAddTheirOffsetsAndSaturate) {
  struct Case {
    int32_t continuedOffset, offsetMilliseconds;
    double rate;
    int32_t library, movie, subtitle;
  } cases[] = {
      {0, 1000, 25, 100, 100, 125},
      {0, -1500, 23.976, 1000, 1000, 964},
      {90000, 0, 25, 100, 90100, 90100},
      {90000, 1000, 25, 100, 90100, 90125},
      {INT32_MAX, 0, 25, 100, INT32_MAX, INT32_MAX},
      {1, 1000, 25, INT32_MAX - 10, INT32_MAX - 9, INT32_MAX},
      {0, -1000, 25, INT32_MIN + 5, INT32_MIN + 5, INT32_MIN},
      {INT32_MIN, 0, 25, -1, INT32_MIN, INT32_MIN},
  };
  for (const Case& c : cases) {
    const SubtitleTiming timing{.continuedOffset = c.continuedOffset,
                                .offsetMilliseconds = c.offsetMilliseconds,
                                .movieFrameRate = c.rate};
    const int32_t movie = timing.MoviePosition(c.library);
    EXPECT_EQ(movie, c.movie) << c.library;
    EXPECT_EQ(timing.SubtitlePosition(movie), c.subtitle) << c.library;
  }
}

TEST(SubtitleTiming, MillisecondsAtTheSubtitleRate) {
  struct Case {
    double rate;
    int32_t frames, milliseconds;
  } cases[] = {
      {23.976, 2400, 100100},
      {25, 25, 1000},
      {25, 90100, 3604000},
      {3, 1, 333},
      {3, 2, 667},
      {25, -50, -2000},
      {1, INT32_MAX, INT32_MAX},  // beyond 32 bits in milliseconds
      {1, INT32_MIN, INT32_MIN},
  };
  for (const Case& c : cases) {
    const SubtitleTiming timing{.movieFrameRate = c.rate};
    EXPECT_EQ(timing.Milliseconds(c.frames), c.milliseconds) << c.frames << " at " << c.rate;
  }
}

TEST(SubtitleTiming, WithoutARateNothingIsDividedByIt) {
  for (double rate : {0.0, -0.0, -25.0, std::numeric_limits<double>::quiet_NaN()}) {
    const SubtitleTiming timing{.offsetMilliseconds = 1000, .movieFrameRate = rate};
    EXPECT_FALSE(timing.HasRate()) << rate;
    EXPECT_EQ(timing.Milliseconds(2400), std::nullopt) << rate;
  }
  const SubtitleTiming none{.offsetMilliseconds = 1000};
  EXPECT_EQ(none.SubtitlePosition(100), 100);  // no rate, no frames of offset
  EXPECT_TRUE(SubtitleTiming{.movieFrameRate = 0.5}.HasRate());
}

TEST(RateChoice, ARateIsShownByTheItemThatHasIt) {
  struct Case {
    double rate, movieRate;
    RateChoice choice;
    std::optional<int> tag;
  } cases[] = {
      {25, 25, RateChoice::SameAsMovie(), 0},  // the movie's own, even where an item has it
      {23.976, 25, RateChoice::MenuItem(1), 1},
      {30, 29.97, RateChoice::MenuItem(5), 5},
      {25.017, 25, RateChoice::Own(25.017), std::nullopt},
      {24000.0 / 1001, 25, RateChoice::Own(24000.0 / 1001), std::nullopt},  // not 23.976
  };
  for (const Case& c : cases) {
    const RateChoice choice = RateChoice::For(c.rate, c.movieRate);
    EXPECT_EQ(choice, c.choice) << c.rate;
    EXPECT_EQ(choice.MenuTag(), c.tag) << c.rate;
    EXPECT_EQ(choice.Rate(c.movieRate), c.rate) << c.rate;
  }
}

}  // namespace
}  // namespace captivo
