#pragma once

#include <QImage>
#include <cstdint>
#include <string_view>

#include "on_screen_note.h"
#include "subtitle_font.h"

class QWidget;

namespace captivo {

class SubtitleSurface;

// The overlay's top in full screen: at the bottom edge of a picture as wide as the screen
// and centred on it, with at least 80 pixels of the overlay on the screen.
int32_t OverlayTop(int32_t screenWidth, int32_t screenHeight, int32_t videoWidth,
                   int32_t videoHeight);

// The two surfaces that always show the same subtitle: the strip under the picture, and
// the overlay under the picture in full screen. Showing, clearing and laying out are
// done here once for both.
class SubtitleDisplay {
 public:
  SubtitleDisplay(SubtitleSurface& strip, SubtitleSurface& overlay);

  // Labels for text, images for bitmaps (below the second subtitle's lines): true when an
  // image got another size, and so lost its picture.
  bool SetView(bool bitmap);
  // The strip shows the text, and the overlay what the strip shows.
  void ShowText(std::string_view text);
  // The second subtitle's text, above the first's on both surfaces: true when an image got
  // another size, and so lost its picture.
  bool ShowSecondText(std::string_view text);
  const SubtitleFont& Font() const;
  // As ShowSecondText, true when an image lost its picture.
  bool SetFont(const SubtitleFont& font);
  // The legacy code page found in the loaded subtitle file (an ICU name), or empty.
  void SetTextEncoding(const std::string& detected);
  // Subtitle text as the strip and the overlay read it, in UTF-8.
  std::string ReadAsShown(std::string_view bytes) const;
  // Both images black.
  void ClearImages();
  // Both images black, then the picture unscaled at the top edge, centred by truncating
  // division (a picture wider than a surface loses equal parts on both sides).
  void DrawPicture(const QImage& picture);
  // Both images black, then the picture, made for a movie frame `frameWidth` wide, scaled
  // as the movie's picture is shown (each surface is as wide as the picture on screen),
  // at the top edge and centred.
  void DrawFramePicture(const QImage& picture, int32_t frameWidth);

  // The overlay over the full-screen picture in `window`, across its screen and under a
  // picture of `pictureSize`, without the keyboard.
  void PlaceOverlay(QWidget* window, QSize pictureSize);
  // The overlay out of sight, belonging to no window.
  void WithdrawOverlay();
  // While the overlay is over the full-screen picture: `text` for a few seconds above it.
  void ShowNote(const QString& text);

 private:
  // Both surfaces laid out again; true when an image got another size.
  bool Arrange();

  SubtitleSurface& strip_;
  SubtitleSurface& overlay_;
  OnScreenNote note_;
};

}  // namespace captivo
