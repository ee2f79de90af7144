// The Subtitle FrameRate menu and the Synchronize command.
#include <QAction>
#include <QActionGroup>

#include "main_window.h"
#include "movie_control.h"
#include "number_text.h"
#include "status_bar.h"
#include "synchronize.h"
#include "user_prompts.h"

namespace captivo {

void TfmMain::n005Click(int tag) {
  Timing.subtitleFrameRate = tag == 0 ? movie_->FrameRate() : kMenuFrameRates[tag];
  SubtitleFrameRate1->actions()[tag]->setChecked(true);
  sbMain->SetPanelText(Panel::SubtitleFrameRate,
                       tag == 0
                           ? QString("Subtitle FrameRate:Same As Movie")
                           : "Subtitle FrameRate:" + RealText(Timing.subtitleFrameRate) + "fps");
}

void TfmMain::ResetSubtitleFrameRate() {
  n005Click(0);
}

void TfmMain::SetOwnSubtitleFrameRate(double rate) {
  Timing.subtitleFrameRate = rate;
  if (QAction* checked = SubtitleFrameRate1->checkedAction()) checked->setChecked(false);
  sbMain->SetPanelText(Panel::SubtitleFrameRate, "Subtitle FrameRate:" + RealText(rate) + "fps");
}

void TfmMain::SetOffset(int32_t milliseconds) {
  fmSynchronize->SetOffset(milliseconds);  // the dialog tells the clock
}

void TfmMain::AdjustSubtitle1Click() {
  prompts_.Exec(fmSynchronize);
}

}  // namespace captivo
