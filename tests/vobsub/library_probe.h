#pragma once

// Asking the bitmap subtitle library what it shows, as the program does.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vobsub.h"
#include "vobsub_writer.h"

namespace captivo::test {

inline std::string LangName(int32_t index) {
  char name[256];
  GetLangName(index, name);
  return name;
}

struct Shown {
  int32_t id;
  int32_t rect[4];
  std::vector<uint8_t> pixels;
};

// What the library hands out at `ms`, or nothing.
inline std::optional<Shown> At(int32_t ms) {
  if (!GetFrame(ms)) return std::nullopt;
  Shown shown{GetCurrentIndex(), {}, {}};
  uint8_t* pixels = nullptr;
  GetDataPointer(&pixels, shown.rect);
  const size_t size =
      static_cast<size_t>(shown.rect[2] - shown.rect[0]) * (shown.rect[3] - shown.rect[1]) * 4;
  shown.pixels.assign(pixels, pixels + size);
  return shown;
}

// A picture with an opaque frame (the decoder trims transparent edges) around a pattern
// of all four values.
inline VobSubPicture Framed(int64_t start, int duration, int width, int height) {
  auto picture = MakePicture(start, duration, width, height, [&](int x, int y) {
    if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return 1;
    return (x / 3 + y) % 4;
  });
  picture.x = 100;
  picture.y = 400;
  picture.colour = {0, 1, 2, 3};
  picture.alpha = {0, 15, 8, 15};
  return picture;
}

// The pixels the library should hand out for `picture` drawn with `palette`: blue,
// green, red, opacity.
inline std::vector<uint8_t> ExpectedPixels(const VobSubPicture& picture,
                                           const std::array<uint32_t, 16>& palette) {
  std::vector<uint8_t> pixels;
  for (const uint8_t value : picture.pixels) {
    const uint32_t rgb = palette[picture.colour[value]];
    pixels.insert(pixels.end(), {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                 static_cast<uint8_t>(rgb >> 16),
                                 static_cast<uint8_t>(picture.alpha[value] * 17)});
  }
  return pixels;
}

// A test name from a shared test data file's name: "vobsub-tiny-en" gives "vobsub_tiny_en".
inline std::string TestNameOf(std::string fileName) {
  for (char& c : fileName)
    if (c == '-') c = '_';
  return fileName;
}

}  // namespace captivo::test
