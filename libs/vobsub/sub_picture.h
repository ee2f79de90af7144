#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vobsub {

// What the control sequences of a sub-picture say, every value checked against the
// sub-picture's bounds.
struct SubPictureLayout {
  int64_t startDelay = 0;  // milliseconds after the timestamp
  int64_t stopDelay = -1;  // milliseconds after the timestamp; -1: none, or not after the start
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // inclusive, as written
  std::array<size_t, 2> fieldOffsets{};         // run-length data of the even and the odd lines
  std::array<uint8_t, 4> colour{0, 1, 2, 3};    // palette entry of each pixel value
  std::array<uint8_t, 4> alpha{0, 15, 15, 15};  // opacity of each pixel value, 0 to 15
  int32_t Width() const { return right - left + 1; }
  int32_t Height() const { return bottom - top + 1; }
};

// Reads the control sequences of the sub-picture `bytes` (its whole declared size).
// The picture is the one of the last sequence that gives both a rectangle and the two
// field offsets; colours and opacities are those set up to that sequence. False, with
// `problem`, when no picture is found within bounds.
bool ParseSubPicture(std::span<const uint8_t> bytes, SubPictureLayout& layout,
                     std::string& problem);

}  // namespace vobsub
