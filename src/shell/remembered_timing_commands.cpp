// The timing remembered per movie: the subtitle file, its rate, offset and language, as
// they were when the movie was left, brought back when it opens again.
#include <QAction>
#include <QActionGroup>
#include <filesystem>

#include "file_names.h"
#include "main_window.h"
#include "movie_control.h"
#include "status_bar.h"

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

bool TfmMain::RestoreTiming() {
  const auto remembered = timingMemory_.Find(movie_->FileName(), FileSize(movie_->FileName()));
  if (!remembered || !IsRegularFile(remembered->subtitlePath)) return false;
  OpenSubtitleFile(remembered->subtitlePath, remembered->vobSubLanguage);
  if (remembered->rateTag == kOwnRateTag)
    SetOwnSubtitleFrameRate(remembered->subtitleFrameRate);
  else
    n005Click(remembered->rateTag);
  SetOffset(remembered->offsetMilliseconds);
  sbMain->ShowNote("Subtitle timing restored for this movie");
  return true;
}

void TfmMain::RememberTiming() {
  if (!movie_->IsOpen() || Subtitles.SubtitleFileName.empty()) return;
  const QAction* checked = SubtitleFrameRate1->checkedAction();
  timingMemory_.Remember({.moviePath = movie_->FileName(),
                          .movieSize = FileSize(movie_->FileName()),
                          .subtitlePath = AbsoluteLocalPath(Subtitles.SubtitleFileName),
                          .offsetMilliseconds = Timing.offsetMilliseconds,
                          .rateTag = checked ? checked->data().toInt() : kOwnRateTag,
                          .subtitleFrameRate = Timing.subtitleFrameRate,
                          .vobSubLanguage = VobSubLanguage});
}

}  // namespace captivo
