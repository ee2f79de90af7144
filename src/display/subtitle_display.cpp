#include "subtitle_display.h"

#include "subtitle_surface.h"

namespace captivo {

SubtitleDisplay::SubtitleDisplay(SubtitleSurface& strip, SubtitleSurface& overlay)
    : strip_(strip), overlay_(overlay) {}

void SubtitleDisplay::SetView(bool bitmap) {
  for (SubtitleSurface* surface : {&strip_, &overlay_}) {
    surface->label->setVisible(!bitmap);
    surface->image->setVisible(bitmap);
  }
}

void SubtitleDisplay::ShowText(std::string_view text) {
  strip_.label->SetText(text);
  overlay_.label->SetText(strip_.label->Text());
}

const SubtitleFont& SubtitleDisplay::Font() const {
  return strip_.label->Font();
}

void SubtitleDisplay::SetFont(const SubtitleFont& font) {
  strip_.label->SetSubtitleFont(font);
  overlay_.label->SetSubtitleFont(font);
}

void SubtitleDisplay::ClearImages() {
  strip_.image->Clear();
  overlay_.image->Clear();
}

void SubtitleDisplay::DrawPicture(const QImage& picture) {
  for (SubtitleSurface* surface : {&strip_, &overlay_}) {
    SubtitleImage& image = *surface->image;
    image.Clear();
    image.Draw(picture, QPoint((image.width() - picture.width()) / 2, 0));
  }
}

void SubtitleDisplay::PlaceOverlay(QWidget* window, int top, int width) {
  if (overlay_.parentWidget() != window) overlay_.setParent(window);
  overlay_.setGeometry(0, top, width, overlay_.height());
  overlay_.show();
  overlay_.raise();
}

void SubtitleDisplay::WithdrawOverlay() {
  overlay_.hide();
  if (overlay_.parentWidget()) overlay_.setParent(nullptr);
}

}  // namespace captivo
