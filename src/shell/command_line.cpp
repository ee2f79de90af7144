#include "command_line.h"

#include <cstdio>
#include <cstring>

namespace captivo {

std::optional<int> AnswerInformationRequest(int argc, char** argv) {
  if (argc != 2) return std::nullopt;
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("captivo %s\n", CAPTIVO_VERSION);
    return 0;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "Usage: captivo [FILE]\n"
        "A movie player built around subtitles. FILE opens as a movie, with the subtitle\n"
        "file of its name beside it; without FILE the window starts empty.\n"
        "\n"
        "  --help     show this text and end\n"
        "  --version  show the version and end\n");
    return 0;
  }
  return std::nullopt;
}

}  // namespace captivo
