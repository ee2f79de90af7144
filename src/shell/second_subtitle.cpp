#include "second_subtitle.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "file_names.h"
#include "loaded_subtitles.h"
#include "status_bar.h"
#include "timing_control.h"
#include "timing_history.h"
#include "user_prompts.h"

namespace captivo {

SecondSubtitle::SecondSubtitle(QMenu* subtitleMenu, Parts parts, std::function<void(bool)> shown,
                               std::function<void()> changed, const CommandRunner& run)
    : parts_(parts), shown_(std::move(shown)), changed_(std::move(changed)), run_(run) {
  menu_ = subtitleMenu->addMenu("Second Subtitle");
  menu_->setObjectName("SecondSubtitle1");
  QAction* load = menu_->addAction("Load ...");
  load->setObjectName("LoadSecondSubtitle1");
  connect(load, &QAction::triggered, this, [this] { run_([this] { Load(); }); });
  QAction* none = menu_->addAction("None");
  none->setObjectName("NoSecondSubtitle1");
  connect(none, &QAction::triggered, this, [this] { run_([this] { Close(); }); });
  adjust_ = subtitleMenu->addAction("Adjust Second Subtitle");
  adjust_->setObjectName("AdjustSecondSubtitle1");
  adjust_->setCheckable(true);
  adjust_->setEnabled(false);
  connect(adjust_, &QAction::triggered, this,
          [this](bool checked) { run_([this, checked] { Adjust(checked); }); });
}

void SecondSubtitle::Load() {
  const QString path =
      parts_.prompts.ChooseFile(parts_.owner, "Load Second Subtitle", "Subtitle Files(*.*) (*)");
  if (path.isEmpty()) return;
  Open(QFile::encodeName(path).toStdString());
  parts_.history.Clear();
  changed_();
}

void SecondSubtitle::Open(const std::string& path, int32_t offset, RateChoice rate) {
  if (VobSubSetBase(path)) {
    parts_.status.ShowNote(
        "A VobSub set can only be the first subtitle: load it with Load Subtitle");
    return;
  }
  feed_.Close();
  parts_.second.Open(
      path, std::nullopt, [] { return 0; }, parts_.messages);
  parts_.timing.ChooseRate(Which::Second, rate);
  parts_.timing.SetOffset(Which::Second, offset);
  Shown(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName());
}

void SecondSubtitle::OpenTrack(const std::string& moviePath, int32_t track, int32_t offset,
                               RateChoice rate) {
  parts_.second.OpenTrack(track);
  feed_.Open(moviePath, track, dueMs_, /*pictures=*/false);
  parts_.timing.ChooseRate(Which::Second, rate);
  parts_.timing.SetOffset(Which::Second, offset);
  Shown(QString("track %1 of the movie").arg(track));
}

void SecondSubtitle::Shown(const QString& what) {
  adjust_->setEnabled(true);
  shown_(true);
  parts_.status.ShowNote("Second subtitle: " + what);
}

void SecondSubtitle::Close() {
  if (parts_.second.FileName().empty() && !parts_.second.Track()) return;
  Adjust(false);
  feed_.Close();
  parts_.second.Close();
  parts_.timing.ChooseRate(Which::Second, RateChoice::SameAsMovie());
  parts_.timing.SetOffset(Which::Second, 0);
  adjust_->setEnabled(false);
  parts_.history.Clear();
  shown_(false);
  changed_();
}

void SecondSubtitle::ShowTracks(const std::string& moviePath,
                                const std::vector<MovieTrack>& tracks) {
  for (QAction* item : trackItems_) delete item;
  trackItems_.clear();
  for (const MovieTrack& track : tracks) {
    if (track.pictures || !track.canShow) continue;  // the second subtitle is text
    if (trackItems_.empty()) trackItems_.push_back(menu_->addSeparator());
    QAction* item = menu_->addAction(QString::fromStdString(TrackItemText(track)));
    connect(item, &QAction::triggered, this, [this, moviePath, index = track.index] {
      run_([this, moviePath, index] {
        OpenTrack(moviePath, index);
        parts_.history.Clear();
        changed_();
      });
    });
    trackItems_.push_back(item);
  }
}

void SecondSubtitle::TakeLines(int64_t dueMs) {
  dueMs_ = dueMs;
  if (feed_.IsOpen()) feed_.TakeInto(parts_.second.Store(), dueMs);
}

void SecondSubtitle::Adjust(bool second) {
  adjust_->setChecked(second);
  if (second == (parts_.timing.Adjusted() == Which::Second)) return;
  // Undo steps belong to the subtitle they were taken for.
  parts_.history.Clear();
  parts_.timing.Adjust(second ? Which::Second : Which::First);
  parts_.status.ShowNote(second ? "The timing commands adjust the second subtitle"
                                : "The timing commands adjust the first subtitle");
}

}  // namespace captivo
