#include "timing_recall.h"

#include <filesystem>

#include "file_names.h"
#include "movie_control.h"
#include "status_bar.h"
#include "subtitle_pair.h"
#include "timing_control.h"

namespace captivo {

namespace {

// Remembered for the menu's own rate items by their tag; any other rate by its value.
constexpr int kOwnRateTag = -1;

RateChoice RememberedRate(int rateTag, double rate) {
  return rateTag == kOwnRateTag ? RateChoice::Own(rate) : RateChoice::MenuItem(rateTag);
}

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
  timing_.ChooseRate(Which::First,
                     RememberedRate(remembered->rateTag, remembered->subtitleFrameRate));
  timing_.SetOffset(Which::First, remembered->offsetMilliseconds);
  const auto& second = remembered->second;
  if (second && (second->track || IsRegularFile(second->path)))
    openSecond_(*second, RememberedRate(second->rateTag, second->subtitleFrameRate));
  status_.ShowNote("Subtitle timing restored for this movie");
  return !rememberedTrack_;
}

bool TimingRecall::Forget() {
  if (!movie_.IsOpen()) return false;
  touched_ = false;
  return memory_.Forget(movie_.FileName(), FileSize(movie_.FileName()));
}

void TimingRecall::Remember() {
  const LoadedSubtitles& first = subtitles_.first;
  const std::optional<int32_t> track = first.Track();
  if (!movie_.IsOpen() || !touched_) return;
  const std::string& secondPath = subtitles_.second.FileName();
  const std::optional<int32_t> secondTrack = subtitles_.second.Track();
  std::optional<RememberedSecond> second;
  if (!secondPath.empty() || secondTrack) {
    const SubtitleTiming& own = timing_.Of(Which::Second);
    second = RememberedSecond{
        secondTrack ? "" : AbsoluteLocalPath(secondPath), secondTrack, own.offsetMilliseconds,
        own.rateChoice.MenuTag().value_or(kOwnRateTag), own.SubtitleFrameRate()};
  }
  if (first.FileName().empty() && !track && !audioTrack_ && !second) return;
  const SubtitleTiming& timing = timing_.Of(Which::First);
  memory_.Remember({.moviePath = movie_.FileName(),
                    .movieSize = FileSize(movie_.FileName()),
                    .subtitlePath = track ? "" : AbsoluteLocalPath(first.FileName()),
                    .offsetMilliseconds = timing.offsetMilliseconds,
                    .rateTag = timing.rateChoice.MenuTag().value_or(kOwnRateTag),
                    .subtitleFrameRate = timing.SubtitleFrameRate(),
                    .vobSubLanguage = first.Language(),
                    .subtitleTrack = track,
                    .audioTrack = audioTrack_,
                    .second = second});
}

}  // namespace captivo
