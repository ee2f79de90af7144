#pragma once

// What the tracks tests share: the test movies, and reading a track whole through the
// library's C functions as the program would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tracks.h"

namespace captivo::test {

inline std::string Media(const std::string& name) {
  return std::string(CAPTIVO_MEDIA_DIR) + "/" + name;
}

struct TrackText {
  int64_t start, end;
  std::string text;
  bool operator==(const TrackText&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const TrackText& t) {
  return out << t.start << "-" << t.end << " \"" << t.text << "\"";
}

inline void CollectText(void* context, int64_t start, int64_t end, const char* text,
                        int32_t length) {
  static_cast<std::vector<TrackText>*>(context)->push_back(
      {start, end, std::string(text, static_cast<size_t>(length))});
}

inline std::vector<TrackText> Texts(TrackReader* reader) {
  std::vector<TrackText> texts;
  GetTrackTexts(reader, 0, CollectText, &texts);
  return texts;
}

// Waits until the reader has read all it will; a reader that never ends fails the test
// after a minute instead of hanging it.
inline TrackProgress WaitUntilRead(TrackReader* reader) {
  TrackProgress progress{};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;;) {
    GetTrackProgress(reader, &progress);
    if (progress.state != kTrackReading) return progress;
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the track is still being read after a minute";
      return progress;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// A reader of the track, closed when it goes.
class OpenReader {
 public:
  OpenReader(const std::string& path, int32_t index)
      : reader_(OpenTrackReader(path.c_str(), index)) {}
  ~OpenReader() { CloseTrackReader(reader_); }
  OpenReader(const OpenReader&) = delete;
  OpenReader& operator=(const OpenReader&) = delete;
  TrackReader* get() const { return reader_; }
  operator TrackReader*() const { return reader_; }

 private:
  TrackReader* reader_;
};

}  // namespace captivo::test
