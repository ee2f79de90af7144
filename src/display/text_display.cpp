// Text subtitles on the strip and the overlay, and the font command.
#include "main_window.h"
#include "subtitle_image.h"
#include "subtitle_label.h"
#include "subtitle_window.h"
#include "user_prompts.h"

namespace captivo {

void TfmMain::SetSubtitleView(bool bitmap) {
  lbSubtitle->setVisible(!bitmap);
  imSubtitle->setVisible(bitmap);
  fmSub->lbSub->setVisible(!bitmap);
  fmSub->imSub->setVisible(bitmap);
}

void TfmMain::ShowSubtitleText(std::string_view text) {
  lbSubtitle->SetText(text);
  fmSub->lbSub->SetText(lbSubtitle->Text());
}

void TfmMain::SetSubtitleFont1Click() {
  SubtitleFont font = lbSubtitle->Font();
  if (!prompts_.ChooseFont(this, font)) return;
  lbSubtitle->SetSubtitleFont(font);
  fmSub->lbSub->SetSubtitleFont(font);
}

}  // namespace captivo
