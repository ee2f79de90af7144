#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace captivo::bench {

// A SubRip entry with its exact times, as the benchmark knows them: the truth each solve
// is scored against.
struct TimedLine {
  int64_t startMs = 0, endMs = 0;
  std::string text;  // UTF-8, lines joined by LF
};

// Reads the entries of a SubRip file written in `codePage` (an iconv name), with their
// times to the millisecond. Raises std::runtime_error when the file cannot be read.
std::vector<TimedLine> ReadSubRipLines(const std::string& path, const std::string& codePage);

// The entries as a SubRip file, in UTF-8.
std::string SubRipText(const std::vector<TimedLine>& lines);

}  // namespace captivo::bench
