// Window sizes that follow the picture, and the way back from full screen.
#include <QSlider>
#include <QSplitter>

#include "conversions.h"
#include "main_window.h"
#include "status_bar.h"
#include "subtitle_window.h"

namespace captivo {

void TfmMain::LeaveFullScreen() {
  show();
  if (fmSub) fmSub->Park();
}

void TfmMain::SetViewScale(double factor) {
  if (MovieFileName.isEmpty()) return;
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
