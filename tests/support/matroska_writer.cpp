#include "matroska_writer.h"

namespace captivo::test {

namespace {

std::string Id(uint32_t id) {
  std::string bytes;
  for (int shift = 24; shift >= 0; shift -= 8)
    if (id >> shift || !bytes.empty()) bytes += static_cast<char>(id >> shift & 0xFF);
  return bytes;
}

// An element: its id, its size in eight bytes, its data.
std::string Element(uint32_t id, const std::string& data) {
  std::string out = Id(id) + '\x01';
  for (int shift = 48; shift >= 0; shift -= 8)
    out += static_cast<char>(static_cast<uint64_t>(data.size()) >> shift & 0xFF);
  return out + data;
}

std::string Unsigned(uint32_t id, uint64_t value) {
  std::string bytes;
  for (int shift = 56; shift >= 0; shift -= 8)
    if (value >> shift || !bytes.empty() || shift == 0)
      bytes += static_cast<char>(value >> shift & 0xFF);
  return Element(id, bytes);
}

// A track number as a block gives it: one byte up to 126, else two.
std::string TrackNumber(uint64_t number) {
  if (number < 127) return std::string(1, static_cast<char>(0x80 | number));
  return {static_cast<char>(0x40 | number >> 8), static_cast<char>(number & 0xFF)};
}

}  // namespace

std::string MatroskaFile(const std::vector<MatroskaTrack>& tracks,
                         const std::vector<MatroskaBlock>& blocks) {
  const std::string header =
      Element(0x1A45DFA3, Unsigned(0x4286, 1) + Unsigned(0x42F7, 1) + Unsigned(0x42F2, 4) +
                              Unsigned(0x42F3, 8) + Element(0x4282, "matroska") +
                              Unsigned(0x4287, 4) + Unsigned(0x4285, 2));
  std::string segment = Element(
      0x1549A966, Unsigned(0x2AD7B1, 1000000) + Element(0x4D80, "test") + Element(0x5741, "test"));
  std::string entries;
  for (size_t i = 0; i < tracks.size(); ++i) {
    const MatroskaTrack& track = tracks[i];
    std::string entry = Unsigned(0xD7, i + 1) + Unsigned(0x73C5, i + 1) +
                        Unsigned(0x83, static_cast<uint64_t>(track.type)) +
                        Element(0x86, track.codecId) + Unsigned(0x9C, 0);
    if (!track.language.empty()) entry += Element(0x22B59C, track.language);
    if (!track.codecPrivate.empty()) entry += Element(0x63A2, track.codecPrivate);
    entries += Element(0xAE, entry);
  }
  segment += Element(0x1654AE6B, entries);
  for (const MatroskaBlock& block : blocks) {
    // Block: track number, time within the cluster (0), flags, data.
    std::string group =
        Element(0xA1, TrackNumber(block.track + 1) + std::string(3, '\0') + block.data);
    if (block.durationMs > 0) group += Unsigned(0x9B, static_cast<uint64_t>(block.durationMs));
    segment +=
        Element(0x1F43B675, Unsigned(0xE7, static_cast<uint64_t>(block.ms)) + Element(0xA0, group));
  }
  return header + Element(0x18538067, segment);
}

}  // namespace captivo::test
