#pragma once

#include "picture_subtitles.h"

namespace captivo {

// The VobSub library's C functions as the program's bitmap set reader.
class VobSubLibrary : public BitmapSetLibrary {
 public:
  void Load(const std::string& basePath) override;
  void SetLanguage(int32_t index) override;
  std::vector<LineTimes> PictureTimes() override;
  std::optional<int32_t> PictureAt(int32_t milliseconds) override;
  SubtitlePicture Picture() override;
};

}  // namespace captivo
