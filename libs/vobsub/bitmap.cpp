#include "bitmap.h"

#include <algorithm>
#include <cstring>

#include "pixel_colours.h"

namespace vobsub {

namespace {

// Reads 4-bit codes from `offset` to the end of the sub-picture.
class NibbleReader {
 public:
  NibbleReader(std::span<const uint8_t> bytes, size_t offset) : bytes_(bytes), next_(offset * 2) {}
  bool Next(unsigned& nibble) {
    if (next_ >= bytes_.size() * 2) return false;
    const uint8_t byte = bytes_[next_ / 2];
    nibble = next_ % 2 ? byte & 15 : byte >> 4;
    ++next_;
    return true;
  }
  void AlignToByte() { next_ += next_ % 2; }

 private:
  std::span<const uint8_t> bytes_;
  size_t next_;
};

// Calls run(y, x, length, value) for every run of both fields (even lines, then odd
// lines); false when the data end early or a run passes the end of its line.
template <typename Run>
bool ForEachRun(std::span<const uint8_t> bytes, const SubPictureLayout& layout, Run run) {
  const int32_t width = layout.Width(), height = layout.Height();
  for (int32_t field = 0; field < 2; ++field) {
    NibbleReader nibbles(bytes, layout.fieldOffsets[field]);
    for (int32_t y = field; y < height; y += 2) {
      for (int32_t x = 0; x < width;) {
        // One to four nibbles: the more leading zeros, the more nibbles the count takes.
        unsigned code = 0, nibble;
        for (unsigned shortest = 1; code < shortest && shortest <= 0x40; shortest <<= 2) {
          if (!nibbles.Next(nibble)) return false;
          code = code << 4 | nibble;
        }
        const int32_t length = code < 4 ? width - x : static_cast<int32_t>(code >> 2);
        if (length > width - x) return false;
        run(y, x, length, code & 3);
        x += length;
      }
      nibbles.AlignToByte();
    }
  }
  return true;
}

// Writes `count` pixels of `colour` from `out`: one pixel, then copies of what is already
// written, doubling, so that a long run costs a few block copies.
void FillRun(uint8_t* out, size_t count, const Bgra& colour) {
  std::memcpy(out, colour.data(), 4);
  for (size_t done = 1; done < count;) {
    const size_t copied = std::min(done, count - done);
    std::memcpy(out + done * 4, out, copied * 4);
    done += copied;
  }
}

}  // namespace

bool DecodeBitmap(std::span<const uint8_t> bytes, const SubPictureLayout& layout,
                  const std::optional<Palette>& palette, Bitmap& bitmap, std::string& problem) {
  // First the smallest rectangle around the visible runs...
  int32_t left = layout.Width(), right = -1, top = layout.Height(), bottom = -1;
  const bool whole =
      ForEachRun(bytes, layout, [&](int32_t y, int32_t x, int32_t length, unsigned value) {
        if (!layout.alpha[value]) return;
        left = std::min(left, x);
        right = std::max(right, x + length - 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      });
  if (!whole) {
    problem = "run-length data broken or cut short";
    return false;
  }
  if (right < 0) {
    problem = "no visible pixel";
    return false;
  }
  // ...then its pixels.
  const std::array<Bgra, 4> colours = PixelColours(layout, palette);
  const int32_t width = right - left + 1, height = bottom - top + 1;
  bitmap.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  ForEachRun(bytes, layout, [&](int32_t y, int32_t x, int32_t length, unsigned value) {
    const int32_t from = std::max(x, left), to = std::min(x + length - 1, right);
    if (y < top || y > bottom || from > to) return;
    uint8_t* out = &bitmap.pixels[(static_cast<size_t>(y - top) * static_cast<size_t>(width) +
                                   static_cast<size_t>(from - left)) *
                                  4];
    FillRun(out, static_cast<size_t>(to - from + 1), colours[value]);
  });
  bitmap.left = layout.left + left;
  bitmap.top = layout.top + top;
  bitmap.right = bitmap.left + width;
  bitmap.bottom = bitmap.top + height;
  return true;
}

}  // namespace vobsub
