#pragma once

#include <QImage>
#include <QStringList>
#include <cstdint>

namespace captivo {

class PictureSubtitles;
class SubtitleDisplay;

// The block of the bitmap subtitle library (blue, green, red, opacity) composited over
// black: each colour byte c becomes c * a / 256, so 255 over 255 gives 254.
QImage CompositeOverBlack(const uint8_t* pixels, int width, int height);

// Bitmap subtitles on both surfaces: the picture due, fetched and drawn once per picture;
// and the languages of a VobSub set as the language list shows them.
class BitmapSubtitles {
 public:
  explicit BitmapSubtitles(SubtitleDisplay& display) : display_(display) {}

  // What one clock tick does: asks `pictures` for the picture due at `milliseconds`, then
  // draws it (DrawVobSubFrame) or clears both images (ClearSubtitleImage).
  void ShowAt(PictureSubtitles& pictures, int32_t milliseconds);
  void Clear();
  // LastVobSubIndex := -1: the next picture due is drawn anew.
  void ForgetDrawn() { lastDrawn_ = -1; }

  // "12 - French" for each language of the set worth listing.
  static QStringList LanguageItems();

 private:
  void Draw(PictureSubtitles& pictures, int32_t id);

  SubtitleDisplay& display_;
  int32_t lastDrawn_ = -1;  // LastVobSubIndex
};

}  // namespace captivo
