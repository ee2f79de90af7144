// Window sizes that follow the picture, full screen, and the ways back from it.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QSlider>
#include <QSplitter>

#include "conversions.h"
#include "main_window.h"
#include "movie_control.h"
#include "shown_subtitles.h"
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

void TfmMain::NN1Click() {
  SetViewScale(1.0);
}

void TfmMain::NN2Click() {
  SetViewScale(2.0);
}

void TfmMain::NN3Click() {
  movie_->SetFullScreen(true);
  EnterFullScreen();
}

void TfmMain::EnterFullScreen() {
  if (HidingKeepsThePlace()) {
    placeBeforeFullScreen_ = geometry().topLeft();
    hide();
  }
  // The overlay lies over the full-screen picture, under it, across its screen.
  QWidget* window = movie_->FullScreenWindow();
  if (!window) return;  // no picture to lay it over
  display_->PlaceOverlay(window, movie_->PictureSize());
  shown_->ForgetDrawn();  // the overlay's renewed image gets the picture on the next tick
}

void TfmMain::LeaveFullScreen() {
  // Shown again where its client area was: a window manager may have moved the hidden
  // window to its frame's place (mutter), which would take it a title bar higher each time.
  if (!isVisible() && placeBeforeFullScreen_) setGeometry(QRect(*placeBeforeFullScreen_, size()));
  placeBeforeFullScreen_.reset();
  show();
  if (display_) display_->WithdrawOverlay();
}

void TfmMain::WMKeyNotify(intptr_t key) {
  constexpr intptr_t kEscape = 27, kSpace = 32;
  if (movie_->IsFullScreen() && key == kEscape) {
    movie_->SetFullScreen(false);
    LeaveFullScreen();
  }
  if (movie_->IsRunning() && movie_->IsFullScreen() && key == kSpace) movie_->Pause();
}

void TfmMain::WMFullScreenEnded() {
  movie_->ForgetFullScreen();
  LeaveFullScreen();
}

void TfmMain::WMStopPlayback() {
  LeaveFullScreen();
  Stop1Click();
}

void TfmMain::SetViewScale(double factor) {
  if (!movie_->IsOpen()) return;
  // The top-left corner stays; the window is not kept inside the screen.
  const QSize picture = movie_->PictureSize();
  SetClientSize(RoundToInt32(picture.width() * factor),
                RoundToInt32(picture.height() * factor) + PictureAreaAllowance());
}

void TfmMain::MakeRoomForSecond(bool on) {
  // Two lines of the subtitle font more: the picture keeps its size, the window grows.
  const int room = on ? 2 * QFontMetrics(display_->Font().font).lineSpacing() : 0;
  const int change = room - secondRoom_;
  if (change == 0) return;
  secondRoom_ = room;
  const QList<int> sizes = Splitter1->sizes();
  Splitter1->setSizes({sizes[0] - change, std::max(0, sizes[1] + change)});
  SetClientSize(ClientWidth(), ClientHeight() + change);
}

void TfmMain::Splitter1Moved() {
  const QSize picture = movie_->PictureSize();
  if (picture.height() == 0) return;
  // The picture area keeps its proportion: a taller strip makes the window narrower.
  const int area = frameGeometry().height() - PictureAreaAllowance() - NonClientHeight;
  SetClientSize(RoundToInt32(picture.width() * (static_cast<double>(area) / picture.height())),
                ClientHeight());
}

}  // namespace captivo
