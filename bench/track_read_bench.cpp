// Reading a movie's subtitle track in the background, on a long movie (bench/track_reading.py
// makes it): how soon the line due at a time is there once the track is chosen there, and
// after a seek ahead of what was read; the time to read the whole track; the memory its
// entries take against the bytes of their texts.
//   captivo_track_bench MOVIE INDEX              the measures above
//   captivo_track_bench --chosen-at MS MOVIE INDEX  reads the track whole as the window
//                                                   does when it is chosen at MS; prints
//                                                   the seconds that took
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "track_reader.h"

namespace {

using Clock = std::chrono::steady_clock;
using tracks::TrackReader;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Line {
  int64_t start, end;
};

std::vector<Line> Lines(TrackReader& reader, size_t* textBytes = nullptr) {
  struct Collected {
    std::vector<Line> lines;
    size_t bytes = 0;
  } collected;
  reader.Texts(
      0,
      [](void* context, int64_t start, int64_t end, const char*, int32_t length) {
        auto& c = *static_cast<Collected*>(context);
        c.lines.push_back({start, end});
        c.bytes += static_cast<size_t>(length);
      },
      &collected);
  if (textBytes) *textBytes = collected.bytes;
  return collected.lines;
}

bool Due(TrackReader& reader, int64_t ms) {
  for (const Line& line : Lines(reader))
    if (line.start <= ms && ms <= line.end) return true;
  return false;
}

// Polls as the window does, but every millisecond: how long until the line due at `ms`
// is there. -1 when reading ended without it.
double WaitForLine(TrackReader& reader, int64_t ms, Clock::time_point asked) {
  for (;;) {
    if (Due(reader, ms)) return MillisecondsSince(asked);
    if (reader.Progress().state != kTrackReading) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int Measure(const std::string& movie, int32_t index) {
  // The whole track, and what its entries take.
  std::vector<Line> lines;
  size_t textBytes = 0, memory = 0;
  double whole = 0;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    TrackReader reader(movie, index);
    const TrackProgress progress = reader.WaitUntilRead();
    const double took = MillisecondsSince(start);
    whole = run == 0 ? took : std::min(whole, took);
    if (progress.state != kTrackRead) {
      std::fprintf(stderr, "the track could not be read whole\n");
      return 1;
    }
    lines = Lines(reader, &textBytes);
    memory = reader.MemoryUsed();
  }
  std::printf("whole track: %zu lines, %zu bytes of text, read in %.0f ms (best of 3)\n",
              lines.size(), textBytes, whole);
  std::printf("memory of the entries: %zu bytes, %.2f x the text\n", memory,
              static_cast<double>(memory) / static_cast<double>(textBytes));

  // A track chosen in the middle: the time until the line due there is read.
  std::printf("\n%-44s %10s\n", "line due at (the track chosen there)", "ready ms");
  for (int64_t minute : {5, 30, 60, 90, 115}) {
    const Line& line = lines[lines.size() * static_cast<size_t>(minute) / 120];
    const int64_t at = (line.start + line.end) / 2;
    const auto asked = Clock::now();
    TrackReader reader(movie, index);
    reader.ReadFrom(at);
    std::printf(
        "%-44s %10.1f\n",
        (std::to_string(at / 60000) + " min " + std::to_string(at / 1000 % 60) + " s").c_str(),
        WaitForLine(reader, at, asked));
  }

  // A seek ahead of what was read, while reading goes on from the start.
  std::printf("\n%-44s %10s\n", "seek ahead while reading from the start", "ready ms");
  for (int64_t minute : {20, 70, 110}) {
    TrackReader reader(movie, index);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const Line& line = lines[lines.size() * static_cast<size_t>(minute) / 120];
    const int64_t at = (line.start + line.end) / 2;
    const auto asked = Clock::now();
    const bool readAlready = Due(reader, at);
    reader.ReadFrom(at);
    std::printf("%-44s %10.1f%s\n", ("to " + std::to_string(minute) + " min").c_str(),
                WaitForLine(reader, at, asked), readAlready ? " (read already)" : "");
  }
  return 0;
}

int ReadChosenAt(int64_t ms, const std::string& movie, int32_t index) {
  const auto start = Clock::now();
  TrackReader reader(movie, index);
  reader.ReadFrom(ms);
  while (reader.Progress().state == kTrackReading)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the window's tick
  std::printf("%.2f\n", MillisecondsSince(start) / 1000);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3) return Measure(argv[1], std::atoi(argv[2]));
  if (argc == 5 && std::strcmp(argv[1], "--chosen-at") == 0)
    return ReadChosenAt(std::atoll(argv[2]), argv[3], std::atoi(argv[4]));
  std::fprintf(stderr,
               "usage: captivo_track_bench MOVIE INDEX\n"
               "       captivo_track_bench --chosen-at MS MOVIE INDEX\n");
  return 2;
}
