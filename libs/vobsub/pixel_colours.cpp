#include "pixel_colours.h"

namespace vobsub {

namespace {

Bgra FromRgb(uint32_t rgb, uint8_t alpha) {
  return {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
          static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(alpha * 17)};
}

std::array<Bgra, 4> GuessedColours(const SubPictureLayout& layout) {
  // Shades for one, two, three or four distinct visible entries.
  constexpr uint8_t kShades[4][4] = {
      {0xff}, {0x00, 0xff}, {0x00, 0x80, 0xff}, {0x00, 0x55, 0xaa, 0xff}};
  std::array<bool, 16> named{};
  int distinct = 0;
  for (int value = 0; value < 4; ++value)
    if (layout.alpha[value] && !named[layout.colour[value]]) {
      named[layout.colour[value]] = true;
      ++distinct;
    }
  std::array<int, 16> shadeOf;
  shadeOf.fill(-1);
  int shades = 0;
  std::array<Bgra, 4> colours{};
  for (int value = 0; value < 4; ++value) {
    if (!layout.alpha[value]) continue;
    int& shade = shadeOf[layout.colour[value]];
    if (shade < 0) shade = kShades[distinct - 1][shades++];
    const uint32_t level = 255u * static_cast<uint32_t>(shade) >> 8;
    colours[value] = FromRgb(level << 16 | level << 8 | level, layout.alpha[value]);
  }
  return colours;
}

}  // namespace

std::array<Bgra, 4> PixelColours(const SubPictureLayout& layout,
                                 const std::optional<Palette>& palette) {
  if (!palette) return GuessedColours(layout);
  std::array<Bgra, 4> colours;
  for (int value = 0; value < 4; ++value)
    colours[value] = FromRgb((*palette)[layout.colour[value]], layout.alpha[value]);
  return colours;
}

}  // namespace vobsub
