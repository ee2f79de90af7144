#include "shown_subtitles.h"

#include "subtitle_display.h"

namespace captivo {

void ShownSubtitles::Show(const DueSubtitle& due) {
  if (display_.SetView(due.pictures != nullptr)) bitmaps_.ForgetDrawn();
  if (!due.pictures) {
    display_.ShowText(due.text);
  } else {
    display_.ShowText({});  // the label's band holds the second subtitle's lines alone
    if (due.milliseconds) bitmaps_.ShowAt(*due.pictures, *due.milliseconds);
  }
}

void ShownSubtitles::ShowSecond(std::string_view text) {
  if (display_.ShowSecondText(text)) bitmaps_.ForgetDrawn();
}

void ShownSubtitles::SetFont(const SubtitleFont& font) {
  if (display_.SetFont(font)) bitmaps_.ForgetDrawn();
}

}  // namespace captivo
