#include "vobsub_library.h"

#include <algorithm>

#include "vobsub.h"

namespace captivo {

void VobSubLibrary::Load(const std::string& basePath) {
  LoadVobSubFile(basePath.c_str());
}

void VobSubLibrary::SetLanguage(int32_t index) {
  SetCurrentLang(index);
}

std::vector<LineTimes> VobSubLibrary::PictureTimes() {
  const int32_t count = GetPictureTimes(nullptr, nullptr, 0);
  std::vector<int32_t> starts(size_t(std::max(count, 0))), ends(starts.size());
  GetPictureTimes(starts.data(), ends.data(), int32_t(starts.size()));
  std::vector<LineTimes> times;
  times.reserve(starts.size());
  for (size_t i = 0; i < starts.size(); ++i) times.push_back({starts[i], ends[i]});
  return times;
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
