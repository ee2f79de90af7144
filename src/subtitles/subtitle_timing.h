#pragma once

#include <cstdint>
#include <optional>

namespace captivo {

// What turns the playback library's frame position into the position at which subtitles
// are looked up. Three positions are told apart:
//   library position   the frame the library reports, within the current file
//   movie position     library position + the frames of the earlier parts
//   subtitle position  movie position + the synchronisation offset in frames
// Every conversion between frames and time uses the subtitle frame rate, never the
// movie's: choosing another rate moves time-based subtitles, bitmap subtitles, the offset
// and the time shown in the status bar alike, while frame numbers stay as they are.
// Results that leave the signed 32-bit range are held at its ends.
struct SubtitleTiming {
  int32_t continuedOffset = 0;     // frames of the earlier parts of a continued movie
  int32_t offsetMilliseconds = 0;  // positive: subtitles appear earlier
  double movieFrameRate = 0;
  double subtitleFrameRate = 0;  // the rate in force for every conversion

  // Time can be told only at a rate above 0 (there is none before a movie is opened).
  bool HasRate() const { return subtitleFrameRate > 0; }

  int32_t MoviePosition(int32_t libraryPosition) const;
  // The offset in frames at the subtitle rate, an exact half to the even neighbour.
  int32_t OffsetFrames() const;
  int32_t SubtitlePosition(int32_t moviePosition) const;

  // A subtitle position in milliseconds, as bitmap subtitles are asked for; none without
  // a rate.
  std::optional<int32_t> Milliseconds(int32_t subtitlePosition) const;

  // The movie time in milliseconds, exact, at which a line stored at `storedMs` shows (a
  // time in seconds, a picture's time, or a frame number converted at the subtitle rate):
  // (stored - offset) * subtitle rate / movie rate. As stored without both rates.
  double ShownAtMs(double storedMs) const;
  // The stored time that shows at movie time `shownMs`: the inverse.
  double StoredAtMs(double shownMs) const;
};

}  // namespace captivo
