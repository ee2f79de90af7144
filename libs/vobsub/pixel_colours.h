#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "index_file.h"
#include "sub_picture.h"

namespace vobsub {

// Blue, green, red and opacity (0 to 255) of a pixel.
using Bgra = std::array<uint8_t, 4>;

// The colour of each of the four pixel values: its palette entry with its opacity
// scaled to 0..255. Without a palette the visible values get shades of grey, darkest
// first, one shade for each palette entry they name.
std::array<Bgra, 4> PixelColours(const SubPictureLayout& layout,
                                 const std::optional<Palette>& palette);

}  // namespace vobsub
