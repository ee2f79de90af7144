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
  // The fixed rates are the nearest doubles of the captions, not 24000/1001 or 30000/1001.
  static constexpr double kRates[6] = {0, 23.976, 24, 25, 29.97, 30};
  Timing.subtitleFrameRate = tag == 0 ? movie_->FrameRate() : kRates[tag];
  SubtitleFrameRate1->actions()[tag]->setChecked(true);
  sbMain->SetPanelText(Panel::SubtitleFrameRate,
                       tag == 0
                           ? QString("Subtitle FrameRate:Same As Movie")
                           : "Subtitle FrameRate:" + RealText(Timing.subtitleFrameRate) + "fps");
}

void TfmMain::ResetSubtitleFrameRate() {
  n005Click(0);
}

void TfmMain::AdjustSubtitle1Click() {
  prompts_.Exec(fmSynchronize);
}

}  // namespace captivo
