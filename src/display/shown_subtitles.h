#pragma once

#include "bitmap_subtitles.h"
#include "loaded_subtitles.h"

namespace captivo {

class SubtitleDisplay;

// What a clock tick shows on both surfaces: a text in the labels, a picture in the images.
class ShownSubtitles {
 public:
  explicit ShownSubtitles(SubtitleDisplay& display) : display_(display), bitmaps_(display) {}

  void Show(const DueSubtitle& due);
  // The second subtitle's text due, shown above the first's.
  void ShowSecond(std::string_view text);
  // The surfaces' images were renewed: the next picture due is drawn anew.
  void ForgetDrawn() { bitmaps_.ForgetDrawn(); }

 private:
  SubtitleDisplay& display_;
  BitmapSubtitles bitmaps_;
};

}  // namespace captivo
