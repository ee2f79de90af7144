// Text subtitles on the strip and the overlay, and the font command.
#include "main_window.h"
#include "subtitle_display.h"
#include "user_prompts.h"

namespace captivo {

void TfmMain::SetSubtitleView(bool bitmap) {
  display_->SetView(bitmap);
}

void TfmMain::ShowSubtitleText(std::string_view text) {
  display_->ShowText(text);
}

void TfmMain::SetSubtitleFont1Click() {
  SubtitleFont font = display_->Font();
  if (!prompts_.ChooseFont(this, font)) return;
  display_->SetFont(font);
}

}  // namespace captivo
