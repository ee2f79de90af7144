// The subtitle clock: ten times a second, the subtitle due at the movie's position.
#include <QSlider>

#include "bitmap_subtitles.h"
#include "main_window.h"
#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"

namespace captivo {

void TfmMain::tmMovieTimer() {
  const int32_t libraryPosition = movie_->Position();
  if (!movie_->SeekDragging()) tbMain->setValue(libraryPosition);
  const int32_t moviePosition = Timing.MoviePosition(libraryPosition);
  if (Timing.HasRate())
    sbMain->SetPanelText(Panel::Position, FramesAndTime(moviePosition, Timing.subtitleFrameRate));
  const int32_t position = Timing.SubtitlePosition(moviePosition);
  SetSubtitleView(VobSubMode);
  if (!VobSubMode)
    ShowSubtitleText(Subtitles.FindSubtitleAt(position, Timing.subtitleFrameRate));
  else if (const auto milliseconds = Timing.Milliseconds(position))
    bitmaps_->ShowAt(*milliseconds);
}

}  // namespace captivo
