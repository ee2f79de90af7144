#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace captivo {

// The subtitle frame rates of the menu's fixed items, by their tag (0 is the movie's own):
// the nearest doubles of the captions, not 24000/1001 or 30000/1001.
inline constexpr double kMenuFrameRates[6] = {0, 23.976, 24, 25, 29.97, 30};
// The menu's fixed rates alone: the rates releases are made at.
inline constexpr std::span<const double> kFixedFrameRates(kMenuFrameRates + 1, 5);

// The subtitle frame rate the user chose: the movie's own ("Same As Movie"), one of the
// menu's fixed rates, or a rate of its own (solved from two marked lines, or restored).
class RateChoice {
 public:
  static RateChoice SameAsMovie() { return RateChoice(0, 0); }
  // The menu item of `tag`, 0 to 5 (0 is the movie's own).
  static RateChoice MenuItem(int tag) { return RateChoice(tag, 0); }
  static RateChoice Own(double rate) { return RateChoice(kOwn, rate); }
  // The choice that puts `rate` in force for a movie of `movieFrameRate`: the movie's own
  // when they are equal, else the menu item of that rate, else a rate of its own.
  static RateChoice For(double rate, double movieFrameRate);

  // The menu item that shows this choice, none for a rate of its own.
  std::optional<int> MenuTag() const {
    return tag_ == kOwn ? std::nullopt : std::optional<int>(tag_);
  }
  bool IsSameAsMovie() const { return tag_ == 0; }
  // The rate in force under this choice for a movie of `movieFrameRate`.
  double Rate(double movieFrameRate) const {
    return tag_ == 0 ? movieFrameRate : tag_ == kOwn ? own_ : kMenuFrameRates[tag_];
  }
  bool operator==(const RateChoice&) const = default;

 private:
  static constexpr int kOwn = -1;
  RateChoice(int tag, double own) : tag_(tag), own_(own) {}
  int tag_;
  double own_;
};

// What turns the playback library's frame position into the position at which subtitles
// are looked up. Three positions are told apart:
//   library position   the frame the library reports, within the current file
//   movie position     library position + the frames of the earlier parts
//   subtitle position  movie position + the synchronisation offset in frames
// Every conversion between frames and time uses the subtitle frame rate, never the
// movie's: choosing another rate moves time-based subtitles, bitmap subtitles, the offset
// and the time shown in the status bar alike, while frame numbers stay as they are.
// Results that leave the signed 32-bit range are held at its ends.
//
// This is the one place the program keeps the offset, the rate chosen and the movie's own
// frame rate; every window shows it and none is asked for it.
struct SubtitleTiming {
  int32_t continuedOffset = 0;     // frames of the earlier parts of a continued movie
  int32_t offsetMilliseconds = 0;  // positive: subtitles appear earlier
  double movieFrameRate = 0;       // as the library reported it for the movie opened last
  RateChoice rateChoice = RateChoice::SameAsMovie();

  // The rate in force for every conversion.
  double SubtitleFrameRate() const { return rateChoice.Rate(movieFrameRate); }
  // Time can be told only at a rate above 0 (there is none before a movie is opened).
  bool HasRate() const { return SubtitleFrameRate() > 0; }

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
