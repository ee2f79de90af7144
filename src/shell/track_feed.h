#pragma once

#include <cstdint>
#include <string>

struct TrackReader;

namespace captivo {

class SubtitleStore;

// The lines of a movie's text track as they are read in the background: taken into the
// store on the clock's tick, never waiting for the reader.
class TrackFeed {
 public:
  TrackFeed() = default;
  TrackFeed(const TrackFeed&) = delete;
  TrackFeed& operator=(const TrackFeed&) = delete;
  ~TrackFeed() { Close(); }

  // Starts reading track `index` of the movie at `path`, from `fromMs` on first (what is
  // before is read afterwards).
  void Open(const std::string& path, int32_t index, int64_t fromMs);
  void Close();
  bool IsOpen() const { return reader_ != nullptr; }
  // Appends the lines read since the last call to `store`; all of them again, into an
  // emptied store, when the reader has read some before those taken. `dueMs`: the track's
  // time due now; a jump from the last call's (a seek) sends the reader there first.
  void TakeInto(SubtitleStore& store, int64_t dueMs);

 private:
  TrackReader* reader_ = nullptr;
  int64_t taken_ = 0;
  int64_t order_ = -1;
  int64_t lastDueMs_ = -1;
};

}  // namespace captivo
