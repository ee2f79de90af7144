#include "subtitle_display.h"

#include <QScreen>
#include <algorithm>

#include "subtitle_surface.h"

namespace captivo {

int32_t OverlayTop(int32_t screenWidth, int32_t screenHeight, int32_t videoWidth,
                   int32_t videoHeight) {
  // Without a picture width, the overlay takes the bottom 80 pixels.
  if (videoWidth == 0) return screenHeight - 80;
  const int64_t height = int64_t{screenWidth} * videoHeight / videoWidth;
  const int64_t top = (screenHeight + height) / 2;
  return static_cast<int32_t>(std::min<int64_t>(top, screenHeight - 80));
}

SubtitleDisplay::SubtitleDisplay(SubtitleSurface& strip, SubtitleSurface& overlay)
    : strip_(strip), overlay_(overlay) {}

bool SubtitleDisplay::Arrange() {
  const bool strip = strip_.Arrange();
  return overlay_.Arrange() || strip;
}

bool SubtitleDisplay::SetView(bool bitmap) {
  strip_.SetBitmapView(bitmap);
  overlay_.SetBitmapView(bitmap);
  return Arrange();
}

void SubtitleDisplay::ShowText(std::string_view text) {
  strip_.label->SetText(text);
  overlay_.label->SetText(strip_.label->Text());
}

bool SubtitleDisplay::ShowSecondText(std::string_view text) {
  strip_.label->SetSecondText(text);
  overlay_.label->SetSecondText(text);
  return Arrange();
}

const SubtitleFont& SubtitleDisplay::Font() const {
  return strip_.label->Font();
}

void SubtitleDisplay::SetTextEncoding(const std::string& detected) {
  const QByteArray name = QByteArray::fromStdString(detected);
  strip_.label->SetTextEncoding(name);
  overlay_.label->SetTextEncoding(name);
}

std::string SubtitleDisplay::ReadAsShown(std::string_view bytes) const {
  return strip_.label->Read(bytes).toStdString();
}

bool SubtitleDisplay::SetFont(const SubtitleFont& font) {
  strip_.label->SetSubtitleFont(font);
  overlay_.label->SetSubtitleFont(font);
  return Arrange();
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

void SubtitleDisplay::DrawFramePicture(const QImage& picture, int32_t frameWidth) {
  for (SubtitleSurface* surface : {&strip_, &overlay_}) {
    SubtitleImage& image = *surface->image;
    image.Clear();
    const double factor = static_cast<double>(image.width()) / frameWidth;
    const QSize size(std::max(1, qRound(picture.width() * factor)),
                     std::max(1, qRound(picture.height() * factor)));
    const QImage scaled = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.Draw(scaled, QPoint((image.width() - scaled.width()) / 2, 0));
  }
}

void SubtitleDisplay::PlaceOverlay(QWidget* window, QSize pictureSize) {
  const QSize screen = window->screen()->size();
  if (overlay_.parentWidget() != window) overlay_.setParent(window);
  overlay_.setGeometry(
      0, OverlayTop(screen.width(), screen.height(), pictureSize.width(), pictureSize.height()),
      screen.width(), overlay_.height());
  overlay_.show();
  overlay_.raise();
}

void SubtitleDisplay::WithdrawOverlay() {
  note_.Withdraw();
  overlay_.hide();
  if (overlay_.parentWidget()) overlay_.setParent(nullptr);
}

void SubtitleDisplay::ShowNote(const QString& text) {
  if (QWidget* window = overlay_.parentWidget(); window && overlay_.isVisible())
    note_.ShowIn(window, overlay_.y(), text);
}

}  // namespace captivo
