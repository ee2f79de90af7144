// The subtitle clock: ten times a second, the subtitle due at the movie's position.
#include <QSlider>

#include "bitmap_subtitles.h"
#include "conversions.h"
#include "main_window.h"
#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"

namespace captivo {

void TfmMain::tmMovieTimer() {
  int32_t position = movie_->Position();
  if (!movie_->SeekDragging()) tbMain->setValue(position);
  position = SaturatedAdd(position, ContinuedOffset);
  if (SubtitleFrameRate > 0)
    sbMain->SetPanelText(Panel::Position, FramesAndTime(position, SubtitleFrameRate));
  // A positive offset looks up later subtitle times, so subtitles appear earlier.
  position = SaturatedAdd(position, RoundToInt32(SyncOffset / 1000.0 * SubtitleFrameRate));
  SetSubtitleView(VobSubMode);
  if (!VobSubMode)
    ShowSubtitleText(Subtitles.FindSubtitleAt(position));
  else if (SubtitleFrameRate > 0)  // no time without a frame rate
    bitmaps_->ShowAt(RoundToInt32(position / SubtitleFrameRate * 1000));
}

}  // namespace captivo
