#include "speech_truth.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace captivo::bench {

std::vector<SpokenLine> ReadTruth(const std::string& base) {
  std::ifstream file(base + ".truth.tsv");
  if (!file) throw std::runtime_error("no " + base + ".truth.tsv");
  std::vector<SpokenLine> lines;
  std::string row;
  while (std::getline(file, row)) {
    if (row.empty() || row[0] == '#') continue;
    std::istringstream fields(row);
    size_t index;
    SpokenLine line;
    fields >> index >> line.startMs >> line.endMs >> line.spoken >> line.speechStartMs >>
        line.speechEndMs;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace captivo::bench
