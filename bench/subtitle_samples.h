#pragma once

#include <string>

#include "subtitle_loader.h"

namespace captivo::bench {

// A subtitle file of `entries` entries in `format`, timed like a film: an entry every 3
// to 4 seconds lasting 2 to 3, with two lines of text.
std::string MakeSubtitleFile(SubtitleFormat format, int entries);

}  // namespace captivo::bench
