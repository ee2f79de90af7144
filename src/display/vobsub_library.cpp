#include "vobsub_library.h"

#include "vobsub.h"

namespace captivo {

void VobSubLibrary::Load(const std::string& basePath) {
  LoadVobSubFile(basePath.c_str());
}

void VobSubLibrary::SetLanguage(int32_t index) {
  SetCurrentLang(index);
}

std::optional<int32_t> VobSubLibrary::PictureAt(int32_t milliseconds) {
  if (!GetFrame(milliseconds)) return std::nullopt;
  return GetCurrentIndex();
}

SubtitlePicture VobSubLibrary::Picture() {
  uint8_t* pixels = nullptr;
  int32_t rect[4] = {0, 0, 0, 0};
  GetDataPointer(&pixels, rect);
  return {pixels, rect[0], rect[1], rect[2], rect[3], /*frameWidth=*/0};
}

}  // namespace captivo
