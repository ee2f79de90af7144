#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "remembered_timing.h"
#include "subtitle_timing.h"

namespace captivo {

struct SubtitlePair;
class MovieControl;
class StatusBar;
class TimingControl;

// The timing remembered per movie: the subtitle file or track, its rate, offset and
// language, the second subtitle and its own timing, and the audio track, as they were when
// the movie was left, brought back when it opens again.
class TimingRecall {
 public:
  // Opens a subtitle file as Load Subtitle does, in the language given if any.
  using OpenSubtitles =
      std::function<void(const std::string& path, std::optional<int32_t> language)>;
  // Opens a second subtitle, a file or a track of the movie, with its timing.
  using OpenSecond = std::function<void(const RememberedSecond& second, RateChoice rate)>;

  TimingRecall(TimingMemory memory, const MovieControl& movie, TimingControl& timing,
               const SubtitlePair& subtitles, StatusBar& status, OpenSubtitles open,
               OpenSecond openSecond)
      : memory_(std::move(memory)),
        movie_(movie),
        timing_(timing),
        subtitles_(subtitles),
        status_(status),
        open_(std::move(open)),
        openSecond_(std::move(openSecond)) {}

  // Another movie opened: nothing of it is remembered yet.
  void MovieOpened() {
    touched_ = false;
    audioTrack_.reset();
  }
  // Subtitles were opened or re-timed for the movie open now: it is remembered with them.
  void Touch() { touched_ = true; }
  // Brings back what was remembered for the movie open now; true when that was a subtitle
  // file and it was opened (false: nothing, a file gone, or a track of the movie's own).
  bool Restore();
  // The movie's subtitle track Restore found remembered, to be chosen once it is listed
  // (kNoTrackChosen: none).
  std::optional<int32_t> RememberedTrack() const { return rememberedTrack_; }
  // The user chose the movie's audio track `index`: it is remembered with the movie.
  void AudioChosen(int32_t index) {
    audioTrack_ = index;
    touched_ = true;
  }
  // The audio track chosen for the movie open now, or remembered for it.
  std::optional<int32_t> AudioTrack() const { return audioTrack_; }
  // Remembers the movie open now with its subtitles' timing, when they were opened,
  // restored or re-timed while it was open.
  void Remember();
  // Forgets what was remembered for the movie open now, and what this visit did to it;
  // false without a movie or when the memory cannot be written.
  bool Forget();

 private:
  TimingMemory memory_;
  const MovieControl& movie_;
  TimingControl& timing_;
  const SubtitlePair& subtitles_;
  StatusBar& status_;
  OpenSubtitles open_;
  OpenSecond openSecond_;
  bool touched_ = false;
  std::optional<int32_t> rememberedTrack_;
  std::optional<int32_t> audioTrack_;
};

}  // namespace captivo
