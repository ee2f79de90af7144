#pragma once

#include "bitmap_subtitles.h"
#include "loaded_subtitles.h"
#include "subtitle_font.h"

namespace captivo {

class SubtitleDisplay;

// What a clock tick shows on both surfaces: a text in the labels, a picture in the images.
class ShownSubtitles {
 public:
  explicit ShownSubtitles(SubtitleDisplay& display) : display_(display), bitmaps_(display) {}

  void Show(const DueSubtitle& due);
  // The second subtitle's text due, shown above the first's, before the first is shown:
  // with pictures, its lines take room from the picture's image.
  void ShowSecond(std::string_view text);
  void SetFont(const SubtitleFont& font);
  // The surfaces' images were renewed: the next picture due is drawn anew.
  void ForgetDrawn() { bitmaps_.ForgetDrawn(); }

 private:
  SubtitleDisplay& display_;
  BitmapSubtitles bitmaps_;
};

}  // namespace captivo
