// Bitmap subtitles on the strip and the overlay, and the language of the set.
#include "bitmap_subtitles.h"

#include <cstring>

#include "picture_subtitles.h"
#include "subtitle_display.h"
#include "vobsub.h"

namespace captivo {

QImage CompositeOverBlack(const uint8_t* pixels, int width, int height) {
  // The block is the library's and stays as it was delivered.
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<uint8_t*>(picture.scanLine(y));
    const uint8_t* in = pixels + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
      const unsigned alpha = in[3];
      out[0] = static_cast<uint8_t>(in[0] * alpha >> 8);
      out[1] = static_cast<uint8_t>(in[1] * alpha >> 8);
      out[2] = static_cast<uint8_t>(in[2] * alpha >> 8);
      out[3] = 0xFF;
    }
  }
  return picture;
}

void BitmapSubtitles::ShowAt(PictureSubtitles& pictures, int32_t milliseconds) {
  if (const auto id = pictures.PictureAt(milliseconds))
    Draw(pictures, *id);
  else
    Clear();
}

void BitmapSubtitles::Draw(PictureSubtitles& pictures, int32_t id) {
  if (id == lastDrawn_) return;  // the picture on the surfaces is current
  lastDrawn_ = id;
  const SubtitlePicture picture = pictures.Picture();
  const int width = picture.right - picture.left, height = picture.bottom - picture.top;
  if (width <= 0 || height <= 0 || !picture.pixels)
    display_.ClearImages();
  else if (picture.frameWidth > 0)
    display_.DrawFramePicture(CompositeOverBlack(picture.pixels, width, height),
                              picture.frameWidth);
  else
    display_.DrawPicture(CompositeOverBlack(picture.pixels, width, height));
}

void BitmapSubtitles::Clear() {
  display_.ClearImages();
  lastDrawn_ = -1;
}

QStringList BitmapSubtitles::LanguageItems() {
  QStringList items;
  const int32_t highest = GetLangNum();
  for (int32_t i = 0; i <= highest; ++i) {
    char name[256] = {0};
    GetLangName(i, name);
    if (name[0] == '\0' || std::strcmp(name, "(Not detected)") == 0) continue;
    items << QString::number(i) + " - " + QString::fromLocal8Bit(name);
  }
  return items;
}

}  // namespace captivo
