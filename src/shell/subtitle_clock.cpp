#include "subtitle_clock.h"

#include <QSlider>

#include "loaded_subtitles.h"
#include "movie_control.h"
#include "number_text.h"
#include "shown_subtitles.h"
#include "status_bar.h"
#include "timing_control.h"

namespace captivo {

void SubtitleClock::Tick() {
  const SubtitleTiming& timing = timing_.Timing();
  const int32_t libraryPosition = movie_.Position();
  if (!movie_.SeekDragging()) seekBar_.setValue(libraryPosition);
  const int32_t moviePosition = timing.MoviePosition(libraryPosition);
  if (timing.HasRate())
    status_.SetPanelText(Panel::Position, FramesAndTime(moviePosition, timing.SubtitleFrameRate()));
  shown_.Show(subtitles_.DueAt(timing.SubtitlePosition(moviePosition), timing));
}

}  // namespace captivo
