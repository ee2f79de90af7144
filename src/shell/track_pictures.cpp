#include "track_pictures.h"

#include <algorithm>

#include "tracks.h"

namespace captivo {

void TrackPictures::Start(TrackReader* reader) {
  Stop();
  reader_ = reader;
  stop_ = false;
  if (reader_) decoder_ = std::thread([this] { Decode(); });
}

void TrackPictures::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  asked_.notify_all();
  if (decoder_.joinable()) decoder_.join();
  reader_ = nullptr;
  wanted_.reset();
  latest_ = {};
  shown_ = {};
}

void TrackPictures::Decode() {
  for (;;) {
    int64_t ms = 0;
    {
      std::unique_lock lock(mutex_);
      asked_.wait(lock, [this] { return stop_ || wanted_; });
      if (stop_) return;
      ms = *wanted_;
      wanted_.reset();
    }
    TrackPicture picture{};
    Decoded decoded;
    decoded.found = GetTrackPictureAt(reader_, ms, &picture) == 1;
    if (decoded.found) {
      decoded.number = picture.number;
      decoded.start = picture.start;
      decoded.end = picture.end;
      decoded.left = picture.left;
      decoded.top = picture.top;
      decoded.right = std::max(picture.right, picture.left);
      decoded.bottom = std::max(picture.bottom, picture.top);
      decoded.frameWidth = picture.frameWidth;
      const size_t bytes = static_cast<size_t>(decoded.right - decoded.left) *
                           static_cast<size_t>(decoded.bottom - decoded.top) * 4;
      if (picture.pixels) decoded.pixels.assign(picture.pixels, picture.pixels + bytes);
    }
    std::lock_guard lock(mutex_);
    latest_ = std::move(decoded);
  }
}

std::optional<int32_t> TrackPictures::PictureAt(int32_t milliseconds) {
  {
    std::lock_guard lock(mutex_);
    if (!reader_) return std::nullopt;
    wanted_ = milliseconds;
    // The pixels are copied only when the picture changes; its end may become known later.
    if (latest_.found != shown_.found || latest_.number != shown_.number) {
      shown_ = latest_;
    } else {
      shown_.start = latest_.start;
      shown_.end = latest_.end;
    }
  }
  asked_.notify_one();
  const bool due =
      shown_.found && milliseconds >= shown_.start && (shown_.end < 0 || milliseconds < shown_.end);
  if (!due) return std::nullopt;
  return static_cast<int32_t>(shown_.number & 0x7FFFFFFF);
}

SubtitlePicture TrackPictures::Picture() {
  if (!shown_.found || shown_.pixels.empty()) return {};
  return {shown_.pixels.data(), shown_.left,   shown_.top,
          shown_.right,         shown_.bottom, shown_.frameWidth};
}

}  // namespace captivo
