#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "index_file.h"
#include "sub_picture.h"

namespace vobsub {

// A decoded picture: its place in the movie frame and its pixels, four bytes each (blue,
// green, red, opacity), rows from the top, no gaps.
struct Bitmap {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::vector<uint8_t> pixels;
};

// Decodes the run-length fields of the sub-picture `bytes` as `layout` places them, cut
// to the smallest rectangle that holds every visible pixel. False, with `problem`, when
// the data end before the rectangle is full, a run passes its line's end, or no pixel is
// visible.
bool DecodeBitmap(std::span<const uint8_t> bytes, const SubPictureLayout& layout,
                  const std::optional<Palette>& palette, Bitmap& bitmap, std::string& problem);

}  // namespace vobsub
