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
  // When not empty, written as the sub-picture instead of encoding the fields above.
  std::vector<uint8_t> subPicture;
};

struct VobSubTrack {
  std::string code;  // "en"; a track without pictures writes an empty "id:" section
  int index = 0;
  std::vector<VobSubPicture> pictures;
};

// How the ".sub" lays out a sub-picture's packets: packs of at most 2048 bytes, the first
// packet with the timestamp.
struct VobSubLayout {
  size_t payloadPerPacket = 0;  // 0: as much as fits a pack
  int packStuffing = 0;         // stuffing bytes in each MPEG-2 pack header, 0 to 7
  int packetStuffing = 0;       // stuffing bytes in each packet header
  bool mpeg1 = false;           // MPEG-1 pack and packet headers
  bool padded = true;           // each pack filled to 2048 bytes with a padding packet
};

// The sub-picture of `picture`: header, run-length fields, control sequences (a start
// with colours, opacities, rectangle and field offsets; a stop when it has a duration).
std::vector<uint8_t> EncodeSubPicture(const VobSubPicture& picture);

// Writes "<base>.idx" and "<base>.sub": the pictures' sub-pictures in MPEG-PS packs, and
// the index with its palette, languages, timestamps and file positions. Gives each
// track's pictures' file positions.
std::vector<std::vector<size_t>> WriteVobSub(const std::string& base,
                                             const std::vector<VobSubTrack>& tracks,
                                             const std::array<uint32_t, 16>& palette,
                                             int delayMs = 0, const VobSubLayout& layout = {});

// The index line of a picture at `ms` whose packets start at `position`.
std::string TimestampLine(int64_t ms, size_t position);

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
