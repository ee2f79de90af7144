#pragma once

// How the VobSub fuzz target turns its input into a set, shared with the test that
// replays the inputs kept in fuzz/regressions/vobsub: the first byte chooses whether the
// rest is the ".sub" beside a fixed two-language index (even) or the ".idx" beside 6 KiB
// of zeros (odd).
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

inline constexpr char kFuzzIndex[] =
    "# VobSub index file, v7 (do not modify this line!)\nsize: 720x480\n"
    "palette: 000000, ffffff, ff0000, 00ff00, 0000ff, 101010, 202020, 303030, 404040, 505050, "
    "606060, 707070, 808080, 909090, a0a0a0, b0b0b0\n"
    "id: en, index: 0\ntimestamp: 00:00:01:000, filepos: 000000000\n"
    "timestamp: 00:00:02:000, filepos: 000000800\n"
    "id: de, index: 1\ntimestamp: 00:00:01:500, filepos: 000001000\n";

// Writes "<base>.idx" and "<base>.sub" from one fuzz input; false for an empty input.
inline bool WriteFuzzSet(const std::string& base, const uint8_t* data, size_t size) {
  if (size < 1) return false;
  const bool isIndex = data[0] & 1;
  std::ofstream(base + (isIndex ? ".idx" : ".sub"), std::ios::binary)
      .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  if (isIndex)
    std::ofstream(base + ".sub", std::ios::binary) << std::string(6144, '\0');
  else
    std::ofstream(base + ".idx", std::ios::binary) << kFuzzIndex;
  return true;
}
