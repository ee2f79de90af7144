#include "subtitle_saving.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <vector>

#include "file_access.h"
#include "movie_control.h"
#include "status_bar.h"
#include "store_lines.h"
#include "subtitle_pair.h"
#include "timing_control.h"
#include "user_prompts.h"

namespace captivo {

namespace {

constexpr char kSubRipFilter[] = "SubRip (*.srt)";
constexpr char kWebVttFilter[] = "WebVTT (*.vtt)";

// The type the name's extension says; else the filter's, its extension added to the name.
SubtitleFileType TypeOf(QString& path, const QString& filter) {
  const QString extension = QFileInfo(path).suffix().toLower();
  if (extension == "vtt") return SubtitleFileType::WebVtt;
  if (extension == "srt") return SubtitleFileType::SubRip;
  const bool webVtt = filter == kWebVttFilter;
  if (extension.isEmpty()) path += webVtt ? ".vtt" : ".srt";
  return webVtt ? SubtitleFileType::WebVtt : SubtitleFileType::SubRip;
}

}  // namespace

void SubtitleSaving::SaveAs() {
  const SubtitleStore* store = subtitles_.Adjusted().TimedLines();
  const SubtitleTiming& timing = timing_.Timing();
  if (!store) {
    status_.ShowNote("No text subtitle to save: load a text subtitle file");
    return;
  }
  if (!timing.HasRate()) {
    status_.ShowNote("Play the movie first: the times saved are the ones it shows them at");
    return;
  }
  QString filter = kSubRipFilter;
  QString path = prompts_.ChooseSaveFile(owner_, "Save Subtitle As",
                                         QString(kSubRipFilter) + ";;" + kWebVttFilter, filter);
  if (path.isEmpty()) return;
  const SubtitleFileType type = TypeOf(path, filter);

  // A line shown until the movie ends is saved as ending with it.
  const double movieEndMs = movie_.Duration() * 1000.0 / timing.movieFrameRate;
  const std::vector<LineTimes> times =
      StoredLineTimes(*store, timing, std::llround(timing.StoredAtMs(movieEndMs)));
  std::vector<TimedText> entries;
  entries.reserve(times.size());
  for (size_t i = 0; i < times.size(); ++i) entries.push_back({times[i], store->Text(i)});
  const std::string text = FormatSubtitles(entries, timing, std::nullopt, type, toUtf8_);

  const std::string name = QFile::encodeName(path).toStdString();
  NewFileResult written = WriteNewFileAtomically(name, text, 0644);
  if (written == NewFileResult::Exists) {
    if (!prompts_.Ask(owner_, "Save Subtitle As", path + " already exists. Replace it?")) return;
    written =
        ReplaceFileAtomically(name, text, 0644) ? NewFileResult::Written : NewFileResult::Failed;
  }
  status_.ShowNote(written == NewFileResult::Written ? "Subtitle saved as " + path
                                                     : "Cannot write " + path);
}

}  // namespace captivo
