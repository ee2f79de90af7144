#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "problem_log.h"
#include "regular_file.h"

namespace vobsub {

// The set's 16 colours as 0xRRGGBB.
using Palette = std::array<uint32_t, 16>;

// A sub-stream number is five bits: languages 0 to 31.
constexpr int32_t kLanguageSlots = 32;

struct IndexEntry {
  int32_t language;      // the index of the "id:" line the timestamp follows
  int64_t milliseconds;  // the timestamp plus the delay in force
  int64_t filePosition;  // where the picture's packets start in the ".sub"
};

struct IndexFile {
  std::optional<Palette> palette;
  // The code of the "id:" line that the language's last timestamps follow.
  std::map<int32_t, std::string> codes;
  std::vector<IndexEntry> entries;  // in file order
};

// Reads a ".idx": every line that does not check out is logged and skipped.
IndexFile ReadIndex(RegularFile& file, ProblemLog& problems);

}  // namespace vobsub
