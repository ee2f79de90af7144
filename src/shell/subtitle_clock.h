#pragma once

class QSlider;

namespace captivo {

struct SubtitlePair;
class MovieControl;
class ShownSubtitles;
class StatusBar;
class TimingControl;

// tmMovieTimer: ten times a second while the movie runs, its position on the seek bar (unless
// the user holds the thumb) and in the status bar, and the subtitles due there on both
// surfaces, the second one's above the first's.
class SubtitleClock {
 public:
  SubtitleClock(const MovieControl& movie, const TimingControl& timing,
                const SubtitlePair& subtitles, ShownSubtitles& shown, QSlider& seekBar,
                StatusBar& status)
      : movie_(movie),
        timing_(timing),
        subtitles_(subtitles),
        shown_(shown),
        seekBar_(seekBar),
        status_(status) {}

  void Tick();

 private:
  const MovieControl& movie_;
  const TimingControl& timing_;
  const SubtitlePair& subtitles_;
  ShownSubtitles& shown_;
  QSlider& seekBar_;
  StatusBar& status_;
};

}  // namespace captivo
