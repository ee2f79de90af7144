#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace captivo::test {

// A movie the test media script made.
inline std::string Media(const std::string& name) {
  return std::string(CAPTIVO_MEDIA_DIR) + "/" + name;
}

// The start of each line of speech-25.srt in milliseconds: where speech-25.mp4 speaks.
std::vector<int64_t> SpokenStarts();

}  // namespace captivo::test
