#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace captivo::test {

// A Matroska file made byte by byte, for what FFmpeg's tools would never write: thousands
// of tracks, broken packets, codecs nobody shows.
struct MatroskaTrack {
  std::string codecId = "S_TEXT/UTF8";
  std::string language;  // empty: none written
  std::string codecPrivate;
  int type = 0x11;  // subtitle
};

struct MatroskaBlock {
  size_t track = 0;  // position in the track list
  int64_t ms = 0;
  int64_t durationMs = 0;  // 0: none written
  std::string data;
};

// The whole file: header, tracks, and each block in a cluster of its own.
std::string MatroskaFile(const std::vector<MatroskaTrack>& tracks,
                         const std::vector<MatroskaBlock>& blocks);

}  // namespace captivo::test
