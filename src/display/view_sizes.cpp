// Window sizes that follow the picture, and the way back from full screen.
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTimer>

#include "conversions.h"
#include "main_window.h"
#include "movix.h"
#include "status_bar.h"
#include "subtitle_display.h"
#include "subtitle_surface.h"

namespace captivo {

namespace {

// A window hidden and shown again comes back where it was, except where the compositor
// places windows (Wayland): there the main window stays, under the full-screen picture.
bool HidingKeepsThePlace() {
  return !QGuiApplication::platformName().startsWith("wayland");
}

}  // namespace

int32_t OverlayTop(int32_t screenWidth, int32_t screenHeight, int32_t videoWidth,
                   int32_t videoHeight) {
  // Without a picture width, the overlay takes the bottom 80 pixels.
  if (videoWidth == 0) return screenHeight - 80;
  // The bottom edge of a picture as wide as the screen, centred vertically.
  const int64_t height = int64_t{screenWidth} * videoHeight / videoWidth;
  const int64_t top = (screenHeight + height) / 2;
  return static_cast<int32_t>(std::min<int64_t>(top, screenHeight - 80));
}

void TfmMain::NN1Click() {
  SetViewScale(1.0);
}

void TfmMain::NN2Click() {
  SetViewScale(2.0);
}

void TfmMain::NN3Click() {
  SetFullScreen(1);
  FullScreenActive = true;
  EnterFullScreen();
}

void TfmMain::EnterFullScreen() {
  if (HidingKeepsThePlace()) hide();
  // The overlay lies over the full-screen picture, under it, across its screen.
  auto* window = static_cast<QWidget*>(GetFullScreenWindow());
  if (!window) return;  // no picture to lay it over
  const QSize screen = window->screen()->size();
  display_->PlaceOverlay(
      window, OverlayTop(screen.width(), screen.height(), VideoWidth, VideoHeight), screen.width());
  LastVobSubIndex = -1;  // the overlay's renewed image gets the picture on the next tick
}

void TfmMain::LeaveFullScreen() {
  show();
  if (display_) display_->WithdrawOverlay();
}

void TfmMain::WMKeyNotify(intptr_t key) {
  constexpr intptr_t kEscape = 27, kSpace = 32;
  if (FullScreenActive && key == kEscape) {
    SetFullScreen(0);
    FullScreenActive = false;
    LeaveFullScreen();
  }
  if (tmMovie->isActive() && FullScreenActive && key == kSpace) PauseMovie();
}

void TfmMain::WMFullScreenEnded() {
  FullScreenActive = false;
  LeaveFullScreen();
}

void TfmMain::SetViewScale(double factor) {
  if (!MovieOpen) return;
  // The top-left corner stays; the window is not kept inside the screen.
  SetClientSize(RoundToInt32(VideoWidth * factor),
                RoundToInt32(VideoHeight * factor) + PictureAreaAllowance());
}

void TfmMain::WMStopPlayback() {
  LeaveFullScreen();
  Stop1Click();
}

void TfmMain::Splitter1Moved() {
  if (VideoHeight == 0) return;
  // The picture area keeps its proportion: a taller strip makes the window narrower.
  const int area = frameGeometry().height() - PictureAreaAllowance() - NonClientHeight;
  SetClientSize(RoundToInt32(VideoWidth * (static_cast<double>(area) / VideoHeight)),
                ClientHeight());
}

}  // namespace captivo
