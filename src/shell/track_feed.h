#pragma once

#include <cstdint>
#include <string>

#include "track_pictures.h"

struct TrackReader;

namespace captivo {

class SubtitleStore;

// A movie's subtitle track as it is read in the background: the lines of a text track
// taken into the store on the clock's tick, never waiting for the reader; the pictures of
// a bitmap track decoded on a thread of their own.
class TrackFeed {
 public:
  TrackFeed() = default;
  TrackFeed(const TrackFeed&) = delete;
  TrackFeed& operator=(const TrackFeed&) = delete;
  ~TrackFeed() { Close(); }

  // Starts reading track `index` of the movie at `path`, from `fromMs` on first (what is
  // before is read afterwards); `pictures`: a bitmap track, whose pictures are decoded.
  void Open(const std::string& path, int32_t index, int64_t fromMs, bool pictures);
  void Close();
  bool IsOpen() const { return reader_ != nullptr; }
  // The pictures of the track open, when it is a bitmap track.
  PictureSubtitles& Pictures() { return pictures_; }
  // Appends the lines read since the last call to `store`; all of them again, into an
  // emptied store, when the reader has read some before those taken. `dueMs`: the track's
  // time due now; a jump from the last call's (a seek) sends the reader there first.
  void TakeInto(SubtitleStore& store, int64_t dueMs);

 private:
  TrackReader* reader_ = nullptr;
  TrackPictures pictures_;  // stopped before the reader closes
  int64_t taken_ = 0;
  int64_t order_ = -1;
  int64_t lastDueMs_ = -1;
};

}  // namespace captivo
