#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "speech_sync.h"

namespace captivo {

// One picture of bitmap subtitles: (right - left) x (bottom - top) pixels of four bytes
// (blue, green, red, opacity), rows from the top, no gaps. No pixels: nothing to draw.
struct SubtitlePicture {
  const uint8_t* pixels = nullptr;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  // The width of the movie frame the picture is made for, which it is scaled with as the
  // picture is shown larger or smaller; 0: drawn as it is, whatever the picture's size.
  int32_t frameWidth = 0;
};

// Subtitles that are pictures timed in milliseconds.
class PictureSubtitles {
 public:
  virtual ~PictureSubtitles() = default;
  // Whether a picture is due at `milliseconds`: then a number that is the same for the
  // same picture.
  virtual std::optional<int32_t> PictureAt(int32_t milliseconds) = 0;
  // The picture the last PictureAt found, valid until the next PictureAt.
  virtual SubtitlePicture Picture() = 0;
};

// The library that reads VobSub sets: one set at a time, in one language at a time.
class BitmapSetLibrary : public PictureSubtitles {
 public:
  // Reads the set at `basePath` (the path without its extension), replacing the one before.
  virtual void Load(const std::string& basePath) = 0;
  virtual void SetLanguage(int32_t index) = 0;
  // The starts and ends of the chosen language's pictures, in milliseconds.
  virtual std::vector<LineTimes> PictureTimes() = 0;
};

}  // namespace captivo
