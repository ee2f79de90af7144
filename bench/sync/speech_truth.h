#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace captivo::bench {

// One line of a test movie as it was made: its times and where its speech is.
struct SpokenLine {
  int64_t startMs = 0, endMs = 0;
  bool spoken = false;
  int64_t speechStartMs = 0, speechEndMs = 0;
};

// Reads BASE.truth.tsv, as make_speech_movie writes it.
std::vector<SpokenLine> ReadTruth(const std::string& base);

}  // namespace captivo::bench
