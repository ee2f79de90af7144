#include "shown_subtitles.h"

#include "subtitle_display.h"

namespace captivo {

void ShownSubtitles::Show(const DueSubtitle& due) {
  display_.SetView(due.pictures != nullptr);
  if (!due.pictures)
    display_.ShowText(due.text);
  else if (due.milliseconds)
    bitmaps_.ShowAt(*due.pictures, *due.milliseconds);
}

void ShownSubtitles::ShowSecond(std::string_view text) {
  display_.ShowSecondText(text);
}

}  // namespace captivo
