#pragma once

#include "subtitle_surface.h"

namespace captivo {

// fmSub: the overlay that carries the subtitles under the picture in full screen. It
// lives over the full-screen picture, as a part of the window that shows it, and is
// hidden at all other times.
class TfmSub : public SubtitleSurface {
 public:
  TfmSub();

  SubtitleLabel* const lbSub;
  SubtitleImage* const imSub;
};

}  // namespace captivo
