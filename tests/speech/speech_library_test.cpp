// The speech library as the program calls it: a movie's sound in, one level a 10 ms out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

#include "speech.h"
#include "speech_media.h"

namespace captivo {
namespace test {

std::vector<int64_t> SpokenStarts() {
  std::ifstream file(Media("speech-25.srt"));
  std::vector<int64_t> starts;
  std::string line;
  while (std::getline(file, line)) {
    int h, m, s, ms;
    if (std::sscanf(line.c_str(), "%d:%d:%d,%d -->", &h, &m, &s, &ms) == 4)
      starts.push_back(((h * 60 + m) * 60 + s) * 1000 + ms);
  }
  return starts;
}

}  // namespace test

namespace {

using test::Media;

struct Read {
  int32_t status;
  std::vector<uint8_t> levels;
  SpeechMovie movie;
};

Read ReadMovie(const std::string& path, int32_t track = -1, SpeechProgress progress = nullptr,
               void* context = nullptr) {
  SpeechActivity activity;
  Read read;
  read.status = ReadSpeech(path.c_str(), track, progress, context, &activity);
  read.levels.assign(activity.levels, activity.levels + activity.count);
  read.movie = activity.movie;
  FreeSpeech(&activity);
  return read;
}

// The share of frames from `fromMs` until `untilMs` taken for speech.
double SpeechShare(const std::vector<uint8_t>& levels, int64_t fromMs, int64_t untilMs) {
  int64_t speech = 0, frames = 0;
  for (int64_t f = fromMs / SPEECH_FRAME_MS; f < untilMs / SPEECH_FRAME_MS; ++f, ++frames)
    speech += f < int64_t(levels.size()) && levels[size_t(f)] >= 128;
  return frames ? double(speech) / double(frames) : 0;
}

TEST(ReadSpeech, FindsTheSpokenLines) {
  const std::vector<int64_t> starts = test::SpokenStarts();
  ASSERT_EQ(starts.size(), 40u);
  // MP4, and Matroska, whose sound is read from its blocks alone.
  for (const char* movie : {"speech-25.mp4", "speech-25.mkv"}) {
    const Read read = ReadMovie(Media(movie));
    ASSERT_EQ(read.status, SPEECH_READ) << movie;
    EXPECT_EQ(read.movie.frameRate, 25) << movie;
    EXPECT_NEAR(double(read.levels.size()), double(read.movie.durationMs) / SPEECH_FRAME_MS, 10)
        << movie;
    for (size_t i = 0; i < starts.size(); ++i) {
      // Each line is heard from its start, and not in the half second before it (the lines
      // are spoken within three seconds and four seconds apart at least).
      EXPECT_GE(SpeechShare(read.levels, starts[i] + 50, starts[i] + 1'000), 0.6)
          << movie << ' ' << starts[i];
      EXPECT_LE(SpeechShare(read.levels, starts[i] - 500, starts[i] - 50), 0.2)
          << movie << ' ' << starts[i];
    }
  }
  const Read read = ReadMovie(Media("speech-25.mp4"));
  // Read on another thread, as the program does, it gives the same.
  Read again;
  std::thread([&] { again = ReadMovie(Media("speech-25.mp4")); }).join();
  EXPECT_EQ(again.levels, read.levels);
}

TEST(ReadSpeech, TakesTheTrackAsked) {
  const Read first = ReadMovie(Media("speech-25.mp4"), 0);
  const Read second = ReadMovie(Media("speech-25.mp4"), 1);  // silence
  ASSERT_EQ(first.status, SPEECH_READ);
  ASSERT_EQ(second.status, SPEECH_READ);
  EXPECT_EQ(ReadMovie(Media("speech-25.mp4"), -1).levels, first.levels);
  EXPECT_GT(SpeechShare(first.levels, 0, 60'000), 0.2);
  EXPECT_EQ(SpeechShare(second.levels, 0, 60'000), 0);
  EXPECT_EQ(ReadMovie(Media("speech-25.mp4"), 2).status, SPEECH_NO_SOUND);
}

TEST(ReadSpeech, SaysWhyItCannotRead) {
  struct Case {
    const char* movie;
    int32_t status;
    double frameRate;
  } cases[] = {
      {"silence-25.mp4", SPEECH_READ, 25},
      {"movie-640x272-25-30s.avi", SPEECH_NO_SOUND, 25},  // a picture without sound
      {"broken-sound-25.mp4", SPEECH_UNREADABLE, 25},
      {"text.avi", SPEECH_CANNOT_OPEN, 0},
      {"empty.avi", SPEECH_CANNOT_OPEN, 0},
      {"no-such-movie.mp4", SPEECH_CANNOT_OPEN, 0},
  };
  for (const Case& c : cases) {
    const Read read = ReadMovie(Media(c.movie));
    EXPECT_EQ(read.status, c.status) << c.movie;
    EXPECT_EQ(read.movie.frameRate, c.frameRate) << c.movie;
    if (c.status != SPEECH_READ) {
      EXPECT_TRUE(read.levels.empty()) << c.movie;
    }
  }
  const Read silence = ReadMovie(Media("silence-25.mp4"));
  EXPECT_TRUE(
      std::all_of(silence.levels.begin(), silence.levels.end(), [](uint8_t l) { return l == 0; }));
  EXPECT_EQ(ReadMovie(Media("movie-640x272-25-30s.avi")).movie.durationMs, 30'000);
}

TEST(ReadSpeech, TimestampsThatJumpHoursDoNotHoldItUp) {
  const Read read = ReadMovie(Media("jump-5h.mkv"));
  ASSERT_EQ(read.status, SPEECH_READ);
  // The ten seconds before the jump are read, and the levels span about what the file says.
  EXPECT_GT(read.movie.durationMs, 5 * 3'600'000);
  EXPECT_LE(int64_t(read.levels.size()), (read.movie.durationMs + 1'000) / SPEECH_FRAME_MS);
  EXPECT_GT(SpeechShare(read.levels, 0, 10'000), 0);
}

// Records the progress it is given, and asks to stop from `stopAt` thousandths on.
struct Watcher {
  int32_t stopAt = 1'001;
  std::vector<int32_t> seen;
  static int32_t Progress(void* context, int32_t permille) {
    auto* watcher = static_cast<Watcher*>(context);
    watcher->seen.push_back(permille);
    return permille >= watcher->stopAt;
  }
};

TEST(ReadSpeech, ReportsProgressAndStopsWhenAsked) {
  Watcher whole;
  EXPECT_EQ(ReadMovie(Media("speech-25.mp4"), -1, Watcher::Progress, &whole).status, SPEECH_READ);
  ASSERT_FALSE(whole.seen.empty());
  EXPECT_TRUE(std::is_sorted(whole.seen.begin(), whole.seen.end()));
  EXPECT_LE(whole.seen.back(), 1'000);
  // Ten hours of sound: stopped after a few hundredths of it.
  Watcher stopped;
  stopped.stopAt = 20;
  const Read read = ReadMovie(Media("ten-hours.mkv"), -1, Watcher::Progress, &stopped);
  EXPECT_EQ(read.status, SPEECH_CANCELLED);
  EXPECT_TRUE(read.levels.empty());
  EXPECT_EQ(read.movie.durationMs, 36'000'000);
  ASSERT_FALSE(stopped.seen.empty());
  EXPECT_GE(stopped.seen.back(), 20);
  EXPECT_LT(stopped.seen.back(), 500);
}

TEST(ReadMovieFacts, TellsRateAndLengthWithoutReadingTheSound) {
  SpeechMovie movie;
  ASSERT_EQ(ReadMovieFacts(Media("speech-25.mp4").c_str(), &movie), SPEECH_READ);
  EXPECT_EQ(movie.frameRate, 25);
  EXPECT_GT(movie.durationMs, 150'000);
  ASSERT_EQ(ReadMovieFacts(Media("movie-1280x720-23976.mp4").c_str(), &movie), SPEECH_READ);
  EXPECT_NEAR(movie.frameRate, 24000.0 / 1001, 1e-9);
  EXPECT_EQ(ReadMovieFacts(Media("random.avi").c_str(), &movie), SPEECH_CANNOT_OPEN);
  EXPECT_EQ(movie.frameRate, 0);
}

}  // namespace
}  // namespace captivo
