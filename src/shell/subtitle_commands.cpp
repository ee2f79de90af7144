// Loading a subtitle file, its language, its font, and the Synchronize dialog.
#include <QFile>
#include <QListWidget>

#include "bitmap_subtitles.h"
#include "main_window.h"
#include "movie_control.h"
#include "number_text.h"
#include "sellan.h"
#include "shown_subtitles.h"
#include "status_bar.h"
#include "subtitle_display.h"
#include "synchronize.h"
#include "text_encoding.h"
#include "timing_control.h"
#include "timing_history.h"
#include "timing_recall.h"
#include "track_choice.h"
#include "track_menus.h"
#include "user_prompts.h"

namespace captivo {

void TfmMain::LoadSubtitle1Click() {
  // One filter that shows every file; the chosen path is kept as it is.
  const QString path = prompts_.ChooseFile(this, "Load Subtitle", "Subtitle Files(*.*) (*)");
  if (path.isEmpty()) return;
  OpenSubtitleFile(QFile::encodeName(path).toStdString());
}

void TfmMain::OpenSubtitleFile(const std::string& path, std::optional<int32_t> language) {
  trackFeed_.Close();
  trackMenus_->ShowNone();
  subtitles_.Open(
      path, language, [this] { return SelectVobSubLanguage(); }, *this);
  shown_->ForgetDrawn();  // a picture of the same number may be another source's
  ShowTextEncoding();
  // ResetSubtitleFrameRate: every open returns the rate to the movie's own.
  timing_->ChooseRate(Which::First, RateChoice::SameAsMovie());
  history_->Clear();
  recall_->Touch();
}

void TfmMain::ShowTrack(const MovieTrack* track, bool byUser) {
  trackFeed_.Close();
  if (!track) {
    subtitles_.ChooseNoTrack();
    if (subtitles_.Track() == kNoTrackChosen) recall_->Touch();  // remembered: no track
    return;
  }
  subtitles_.OpenTrack(track->index, track->pictures ? &trackFeed_.Pictures() : nullptr);
  trackFeed_.Open(movie_->FileName(), track->index, TrackTimeDue(), track->pictures);
  shown_->ForgetDrawn();
  ShowTextEncoding();
  if (!byUser) return;  // the timing stays as restored, or as the movie opened
  timing_->ChooseRate(Which::First, RateChoice::SameAsMovie());
  history_->Clear();
  recall_->Touch();
}

void TfmMain::ShowTextEncoding() {
  const std::string& encoding = subtitles_.TextEncoding();
  const bool legacy = IsLegacyEncoding(encoding);
  display_->SetTextEncoding(legacy ? encoding : std::string());
  if (legacy) sbMain->ShowNote("Subtitle encoding: " + QString::fromStdString(encoding));
}

void TfmMain::ChangeSubtitleLanguage1Click() {
  OpenSubtitleFile(subtitles_.FileName());
}

int32_t TfmMain::SelectVobSubLanguage() {
  TfmSelLan fmSelLan(this);
  fmSelLan.ListBox1->addItems(BitmapSubtitles::LanguageItems());
  prompts_.Exec(&fmSelLan);
  return fmSelLan.SelectedLanguage;
}

void TfmMain::SetSubtitleFont1Click() {
  SubtitleFont font = display_->Font();
  if (!prompts_.ChooseFont(this, font)) return;
  shown_->SetFont(font);
}

void TfmMain::AdjustSubtitle1Click() {
  // The dialog's whole session is one change to undo.
  const TimingHistory::Step before = history_->Now();
  prompts_.Exec(fmSynchronize);
  if (timing_->Timing().offsetMilliseconds != before.offsetMilliseconds) history_->Keep(before);
}

void TfmMain::ExactTimes1Click() {
  // The offset and the rate stay; only what a line's time in seconds means changes.
  subtitles_.SetExactTimes(!subtitles_.ExactTimes());
  secondLines_.SetExactTimes(subtitles_.ExactTimes());
  ExactTimes1->setChecked(subtitles_.ExactTimes());
}

void TfmMain::ForgetTiming1Click() {
  if (recall_->Forget()) sbMain->ShowNote("This movie's timing is forgotten");
}

void TfmMain::UndoTiming1Click() {
  if (!history_->Undo()) {
    sbMain->ShowNote("No timing change to undo");
    return;
  }
  const SubtitleTiming& timing = timing_->Timing();
  sbMain->ShowNote(QString("Timing undone: offset %1 ms, %2")
                       .arg(timing.offsetMilliseconds)
                       .arg(SubtitleRateText(timing)));
}

}  // namespace captivo
