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
    : parts_(parts), shown_(std::move(shown)), changed_(std::move(changed)) {
  QMenu* menu = subtitleMenu->addMenu("Second Subtitle");
  menu->menuAction()->setObjectName("SecondSubtitle1");
  QAction* load = menu->addAction("Load ...");
  load->setObjectName("LoadSecondSubtitle1");
  connect(load, &QAction::triggered, this, [this, run] { run([this] { Load(); }); });
  QAction* none = menu->addAction("None");
  none->setObjectName("NoSecondSubtitle1");
  connect(none, &QAction::triggered, this, [this, run] { run([this] { Close(); }); });
  adjust_ = subtitleMenu->addAction("Adjust Second Subtitle");
  adjust_->setObjectName("AdjustSecondSubtitle1");
  adjust_->setCheckable(true);
  adjust_->setEnabled(false);
  connect(adjust_, &QAction::triggered, this,
          [this, run](bool checked) { run([this, checked] { Adjust(checked); }); });
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
  parts_.second.Open(
      path, std::nullopt, [] { return 0; }, parts_.messages);
  parts_.timing.ChooseRate(Which::Second, rate);
  parts_.timing.SetOffset(Which::Second, offset);
  adjust_->setEnabled(true);
  shown_(true);
  parts_.status.ShowNote("Second subtitle: " +
                         QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName());
}

void SecondSubtitle::Close() {
  if (parts_.second.FileName().empty()) return;
  Adjust(false);
  parts_.second.Close();
  parts_.timing.ChooseRate(Which::Second, RateChoice::SameAsMovie());
  parts_.timing.SetOffset(Which::Second, 0);
  adjust_->setEnabled(false);
  parts_.history.Clear();
  shown_(false);
  changed_();
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
