#include "subtitle_clock.h"

#include <QSlider>

#include "movie_control.h"
#include "number_text.h"
#include "shown_subtitles.h"
#include "status_bar.h"
#include "subtitle_pair.h"
#include "timing_control.h"

namespace captivo {

void SubtitleClock::Tick() {
  const SubtitleTiming& timing = timing_.Of(Which::First);
  const int32_t libraryPosition = movie_.Position();
  if (!movie_.SeekDragging()) seekBar_.setValue(libraryPosition);
  const int32_t moviePosition = timing.MoviePosition(libraryPosition);
  if (timing.HasRate())
    status_.SetPanelText(Panel::Position, FramesAndTime(moviePosition, timing.SubtitleFrameRate()));
  const SubtitleTiming& second = timing_.Of(Which::Second);
  shown_.ShowSecond(subtitles_.second.DueAt(second.SubtitlePosition(moviePosition), second).text);
  shown_.Show(subtitles_.first.DueAt(timing.SubtitlePosition(moviePosition), timing));
}

}  // namespace captivo
