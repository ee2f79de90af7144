#include "loaded_subtitles.h"

#include "file_names.h"
#include "store_lines.h"
#include "subtitle_loader.h"
#include "track_choice.h"

namespace captivo {

void LoadedSubtitles::Open(const std::string& path, std::optional<int32_t> language,
                           const std::function<int32_t()>& chooseLanguage, MessageSink& sink) {
  if (const auto base = VobSubSetBase(path)) {
    kind_ = Kind::BitmapSet;
    encoding_.clear();
    bitmapSets_.Load(*base);
    language_ = language ? *language : chooseLanguage();
    bitmapSets_.SetLanguage(language_);
  } else {
    // A file that cannot be read as text leaves the lines as they were, still shown.
    kind_ = Kind::TextFile;
    LoadTextSubtitle(path, store_, sink, &encoding_);
  }
  // Also after a reader's own message box; a raised error has skipped both.
  fileName_ = path;
  firstMark_.reset();
}

void LoadedSubtitles::Close() {
  ForgetTrack();
  kind_ = Kind::None;
  store_.ClearSubtitles();
  fileName_.clear();
  encoding_.clear();
  firstMark_.reset();
}

void LoadedSubtitles::OpenTrack(int32_t index, PictureSubtitles* pictures) {
  kind_ = Kind::Track;
  encoding_.clear();  // FFmpeg gives a track's text as UTF-8
  trackIndex_ = index;
  trackPictures_ = pictures;
  store_.StartReadingMilliseconds();
  fileName_.clear();
  firstMark_.reset();
}

void LoadedSubtitles::ChooseNoTrack() {
  if (kind_ == Kind::TextFile || kind_ == Kind::BitmapSet) return;
  ForgetTrack();
  kind_ = Kind::NoTrack;
}

void LoadedSubtitles::ForgetTrack() {
  if (kind_ != Kind::Track && kind_ != Kind::NoTrack) return;
  kind_ = Kind::None;
  trackPictures_ = nullptr;
  store_.ClearSubtitles();
}

std::optional<int32_t> LoadedSubtitles::Track() const {
  if (kind_ == Kind::NoTrack) return kNoTrackChosen;
  return kind_ == Kind::Track ? std::optional<int32_t>(trackIndex_) : std::nullopt;
}

DueSubtitle LoadedSubtitles::DueAt(int32_t subtitlePosition, const SubtitleTiming& timing) {
  if (kind_ == Kind::BitmapSet) return {{}, &bitmapSets_, timing.Milliseconds(subtitlePosition)};
  if (kind_ == Kind::Track && trackPictures_)
    return {{}, trackPictures_, timing.Milliseconds(subtitlePosition)};
  return {store_.FindSubtitleAt(subtitlePosition, timing.SubtitleFrameRate()), nullptr, {}};
}

std::optional<SyncSubject> LoadedSubtitles::LinesToSync(const SubtitleTiming& timing) {
  if (kind_ == Kind::BitmapSet) {
    SyncSubject pictures{bitmapSets_.PictureTimes(), timing.movieFrameRate, std::nullopt};
    pictures.linesCanMove = false;
    return pictures;
  }
  if (const SubtitleStore* lines = TimedLines()) return SyncSubjectOf(*lines, timing);
  return std::nullopt;
}

const SubtitleStore* LoadedSubtitles::TimedLines() const {
  const bool pictures = kind_ == Kind::BitmapSet || (kind_ == Kind::Track && trackPictures_);
  return pictures || store_.Count() == 0 ? nullptr : &store_;
}

}  // namespace captivo
