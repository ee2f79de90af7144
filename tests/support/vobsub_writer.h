#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace captivo::test {

// A picture of a VobSub set: 2-bit pixels, each value drawn with one of the set's 16
// palette colours and its own opacity (0 to 15).
struct VobSubPicture {
  int64_t startMs = 0;
  int durationMs = 0;  // 0: no stop command, the picture lasts until the next one
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<uint8_t> pixels;                // width * height values 0..3
  std::array<uint8_t, 4> colour{0, 1, 2, 3};  // palette index for each value
  std::array<uint8_t, 4> alpha{0, 15, 15, 15};
};

struct VobSubTrack {
  std::string code;  // "en"; a track without pictures writes an empty "id:" section
  int index = 0;
  std::vector<VobSubPicture> pictures;
};

// Writes "<base>.idx" and "<base>.sub": run-length encoded pictures in MPEG-PS packs of
// 2048 bytes, and the index with its palette, languages, timestamps and file positions.
void WriteVobSub(const std::string& base, const std::vector<VobSubTrack>& tracks,
                 const std::array<uint32_t, 16>& palette, int delayMs = 0);

// The palette the tests use: black, white, red, green, blue, then greys.
std::array<uint32_t, 16> TestPalette();

// A width x height picture whose value at (x, y) is pattern(x, y).
template <typename Pattern>
VobSubPicture MakePicture(int64_t startMs, int durationMs, int width, int height, Pattern pattern) {
  VobSubPicture picture;
  picture.startMs = startMs;
  picture.durationMs = durationMs;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.pixels.push_back(static_cast<uint8_t>(pattern(x, y) & 3));
  return picture;
}

}  // namespace captivo::test
