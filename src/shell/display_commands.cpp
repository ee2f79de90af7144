// The subtitles on the strip and the overlay: the view, the text, the font, the pictures'
// language.
#include <QListWidget>

#include "bitmap_subtitles.h"
#include "main_window.h"
#include "sellan.h"
#include "subtitle_display.h"
#include "user_prompts.h"
#include "vobsub.h"

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

void TfmMain::SelectVobSubLanguage() {
  TfmSelLan fmSelLan(this);
  fmSelLan.ListBox1->addItems(BitmapSubtitles::LanguageItems());
  prompts_.Exec(&fmSelLan);
  VobSubLanguage = fmSelLan.SelectedLanguage;
  SetCurrentLang(VobSubLanguage);
}

}  // namespace captivo
