// Bitmap subtitles on the strip and the overlay, and the language of the set.
#include <QImage>
#include <QListWidget>
#include <cstring>

#include "main_window.h"
#include "sellan.h"
#include "subtitle_display.h"
#include "user_prompts.h"
#include "vobsub.h"

namespace captivo {

QImage CompositeOverBlack(const uint8_t* pixels, int width, int height) {
  // Each colour byte c becomes c * a / 256 (so 255 over 255 gives 254); the block is the
  // library's and stays as it was delivered.
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<uint8_t*>(picture.scanLine(y));
    const uint8_t* in = pixels + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
      const unsigned alpha = in[3];
      out[0] = static_cast<uint8_t>(in[0] * alpha >> 8);
      out[1] = static_cast<uint8_t>(in[1] * alpha >> 8);
      out[2] = static_cast<uint8_t>(in[2] * alpha >> 8);
      out[3] = 0xFF;
    }
  }
  return picture;
}

void TfmMain::DrawVobSubFrame() {
  const int32_t index = GetCurrentIndex();
  if (index == LastVobSubIndex) return;  // the picture on the surfaces is current
  LastVobSubIndex = GetCurrentIndex();
  uint8_t* pixels = nullptr;
  int32_t rect[4] = {0, 0, 0, 0};
  GetDataPointer(&pixels, rect);
  const int width = rect[2] - rect[0], height = rect[3] - rect[1];
  if (width <= 0 || height <= 0 || !pixels)
    display_->ClearImages();
  else
    display_->DrawPicture(CompositeOverBlack(pixels, width, height));
}

void TfmMain::ClearSubtitleImage() {
  display_->ClearImages();
  LastVobSubIndex = -1;
}

void TfmMain::SelectVobSubLanguage() {
  TfmSelLan fmSelLan(this);
  const int32_t highest = GetLangNum();
  for (int32_t i = 0; i <= highest; ++i) {
    char name[256] = {0};
    GetLangName(i, name);
    if (name[0] == '\0' || std::strcmp(name, "(Not detected)") == 0) continue;
    fmSelLan.ListBox1->addItem(QString::number(i) + " - " + QString::fromLocal8Bit(name));
  }
  prompts_.Exec(&fmSelLan);
  SetCurrentLang(fmSelLan.SelectedLanguage);
}

void TfmMain::ChangeSubtitleLanguage1Click() {
  OpenSubtitleFile(Subtitles.SubtitleFileName);
}

}  // namespace captivo
