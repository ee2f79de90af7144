#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "picture_subtitles.h"

struct TrackReader;

namespace captivo {

// The pictures of a movie's bitmap track, decoded on a thread of their own: the clock's
// tick asks for the time due and is answered at once with the picture decoded last, when
// that one is due then; the picture due now follows on a later tick. Decoding a picture
// may take a while (a PGS epoch is decoded from its start), and the window never waits.
class TrackPictures : public PictureSubtitles {
 public:
  TrackPictures() = default;
  TrackPictures(const TrackPictures&) = delete;
  TrackPictures& operator=(const TrackPictures&) = delete;
  ~TrackPictures() override { Stop(); }

  // Starts decoding the pictures `reader` reads; it must outlive Stop.
  void Start(TrackReader* reader);
  // Waits for a picture being decoded, then forgets every picture.
  void Stop();

  std::optional<int32_t> PictureAt(int32_t milliseconds) override;
  SubtitlePicture Picture() override;

 private:
  // A picture copied out of the reader, which keeps its own only until the next call.
  struct Decoded {
    bool found = false;
    int64_t number = 0, start = 0, end = -1;
    int32_t left = 0, top = 0, right = 0, bottom = 0, frameWidth = 0;
    std::vector<uint8_t> pixels;
  };
  void Decode();

  TrackReader* reader_ = nullptr;
  std::thread decoder_;
  std::mutex mutex_;  // everything below
  std::condition_variable asked_;
  std::optional<int64_t> wanted_;
  bool stop_ = false;
  Decoded latest_;  // what the last time asked for gave

  Decoded shown_;  // the window thread's own: the picture answered last
};

}  // namespace captivo
