#include "timing_recall.h"

#include <filesystem>

#include "file_names.h"
#include "loaded_subtitles.h"
#include "movie_control.h"
#include "status_bar.h"
#include "timing_control.h"

namespace captivo {

namespace {

// Remembered for the menu's own rate items by their tag; any other rate by its value.
constexpr int kOwnRateTag = -1;

uint64_t FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace

bool TimingRecall::Restore() {
  rememberedTrack_.reset();
  const auto remembered = memory_.Find(movie_.FileName(), FileSize(movie_.FileName()));
  if (!remembered) return false;
  audioTrack_ = remembered->audioTrack;
  if (remembered->subtitleTrack) {
    rememberedTrack_ = remembered->subtitleTrack;
    touched_ = true;  // shown once listed, and remembered again
  } else if (IsRegularFile(remembered->subtitlePath)) {
    open_(remembered->subtitlePath, remembered->vobSubLanguage);
  } else {
    return false;
  }
  timing_.ChooseRate(remembered->rateTag == kOwnRateTag
                         ? RateChoice::Own(remembered->subtitleFrameRate)
                         : RateChoice::MenuItem(remembered->rateTag));
  timing_.SetOffset(remembered->offsetMilliseconds);
  status_.ShowNote("Subtitle timing restored for this movie");
  return !rememberedTrack_;
}

bool TimingRecall::Forget() {
  if (!movie_.IsOpen()) return false;
  touched_ = false;
  return memory_.Forget(movie_.FileName(), FileSize(movie_.FileName()));
}

void TimingRecall::Remember() {
  const std::optional<int32_t> track = subtitles_.Track();
  if (!movie_.IsOpen() || !touched_) return;
  if (subtitles_.FileName().empty() && !track && !audioTrack_) return;
  const SubtitleTiming& timing = timing_.Timing();
  memory_.Remember({.moviePath = movie_.FileName(),
                    .movieSize = FileSize(movie_.FileName()),
                    .subtitlePath = track ? "" : AbsoluteLocalPath(subtitles_.FileName()),
                    .offsetMilliseconds = timing.offsetMilliseconds,
                    .rateTag = timing.rateChoice.MenuTag().value_or(kOwnRateTag),
                    .subtitleFrameRate = timing.SubtitleFrameRate(),
                    .vobSubLanguage = subtitles_.Language(),
                    .subtitleTrack = track,
                    .audioTrack = audioTrack_});
}

}  // namespace captivo
