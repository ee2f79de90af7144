// The subtitle clock: ten times a second, the subtitle due at the movie's position.
#include <QSlider>

#include "conversions.h"
#include "main_window.h"
#include "movix.h"
#include "status_bar.h"
#include "synchronize.h"
#include "vobsub.h"

namespace captivo {

void TfmMain::tmMovieTimer() {
  int32_t position = 0;
  GetPos(&position);
  if (!SeekDragging) tbMain->setValue(position);
  position = SaturatedAdd(position, ContinuedOffset);
  if (SubtitleFrameRate > 0)
    sbMain->SetPanelText(
        0, QString::number(position) + "/" +
               QString::fromStdString(FormatHms(RoundToInt32(position / SubtitleFrameRate))));
  // A positive offset looks up later subtitle times, so subtitles appear earlier.
  position = SaturatedAdd(position,
                          RoundToInt32(fmSynchronize->seSyn->value() / 1000.0 * SubtitleFrameRate));
  if (VobSubMode) {
    SetSubtitleView(true);
    if (!(SubtitleFrameRate > 0)) return;  // no time without a frame rate
    if (GetFrame(RoundToInt32(position / SubtitleFrameRate * 1000)))
      DrawVobSubFrame();
    else
      ClearSubtitleImage();
  } else {
    SetSubtitleView(false);
    ShowSubtitleText(Subtitles.FindSubtitleAt(position, SubtitleFrameRate));
  }
}

}  // namespace captivo
