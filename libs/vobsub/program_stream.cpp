#include "program_stream.h"

#include <algorithm>

namespace vobsub {

namespace {

constexpr uint8_t kPackHeader = 0xBA;
constexpr uint8_t kFirstPacketStream = 0xBB;  // from here on a 16-bit length follows the code
constexpr uint8_t kPrivateStream1 = 0xBD;
constexpr uint8_t kFirstSubPicture = 0x20;
constexpr size_t kLargestSubPicture = 0xFFFF;
constexpr size_t kLargestPesHeader = 3 + 255;  // MPEG-2: flags, length byte, its bytes

unsigned Big16(const uint8_t* bytes) {
  return static_cast<unsigned>(bytes[0]) << 8 | bytes[1];
}

// The position of the next start code (00 00 01 and the code byte) in [position, limit),
// or -1.
int64_t NextStartCode(RegularFile& file, int64_t position, int64_t limit) {
  while (limit - position >= 4) {
    const auto block = file.At(
        position, static_cast<size_t>(std::min<int64_t>(RegularFile::kBlock, limit - position)));
    if (block.size() < 4) return -1;
    for (size_t i = 0; i + 3 < block.size(); ++i)
      if (block[i] == 0 && block[i + 1] == 0 && block[i + 2] == 1)
        return position + static_cast<int64_t>(i);
    position += static_cast<int64_t>(block.size()) - 3;
  }
  return -1;
}

// Where the pack header at `position` ends: MPEG-2 (14 bytes and up to 7 of stuffing) or
// MPEG-1 (12 bytes); past its start code when it is neither.
int64_t PackEnd(RegularFile& file, int64_t position) {
  const auto header = file.At(position, 14);
  if (header.size() == 14 && (header[4] & 0xC0) == 0x40) return position + 14 + (header[13] & 7);
  if (header.size() >= 12 && (header[4] & 0xF0) == 0x20) return position + 12;
  return position + 4;
}

// The length of a PES header after the packet length, MPEG-2 or MPEG-1; -1 when broken.
int64_t PesHeaderLength(std::span<const uint8_t> header) {
  if (header.size() >= 3 && (header[0] & 0xC0) == 0x80) return 3 + header[2];
  size_t i = 0;
  while (i < header.size() && i < 16 && header[i] == 0xFF) ++i;  // stuffing
  if (i < header.size() && (header[i] & 0xC0) == 0x40) i += 2;   // buffer size
  if (i >= header.size()) return -1;
  if ((header[i] & 0xF0) == 0x20) return static_cast<int64_t>(i) + 5;   // PTS
  if ((header[i] & 0xF0) == 0x30) return static_cast<int64_t>(i) + 10;  // PTS and DTS
  if (header[i] == 0x0F) return static_cast<int64_t>(i) + 1;            // neither
  return -1;
}

// Appends the file's bytes [from, to) to `bytes`, at most up to kLargestSubPicture.
bool Append(RegularFile& file, int64_t from, int64_t to, std::vector<uint8_t>& bytes) {
  to = std::min(to, from + static_cast<int64_t>(kLargestSubPicture - bytes.size()));
  while (from < to) {
    const auto block =
        file.At(from, static_cast<size_t>(std::min<int64_t>(RegularFile::kBlock, to - from)));
    if (block.empty()) return false;
    bytes.insert(bytes.end(), block.begin(), block.end());
    from += static_cast<int64_t>(block.size());
  }
  return true;
}

}  // namespace

bool ReadSubPicture(RegularFile& sub, int64_t position, int64_t limit, int32_t language,
                    std::vector<uint8_t>& bytes, std::string& problem) {
  bytes.clear();
  limit = std::min(limit, sub.Size());
  const uint8_t stream = static_cast<uint8_t>(kFirstSubPicture + language);
  while ((position = NextStartCode(sub, position, limit)) >= 0) {
    const auto code = sub.At(position, 6);
    if (code[3] == kPackHeader) {
      position = PackEnd(sub, position);
      continue;
    }
    if (code[3] < kFirstPacketStream || code.size() < 6) {
      position += 3;  // not a packet: look further
      continue;
    }
    const int64_t end = position + 6 + Big16(&code[4]);
    if (end > limit) {
      problem = "a packet cut short";
      return false;
    }
    if (code[3] != kPrivateStream1) {
      position = end;
      continue;
    }
    const int64_t headerLength = PesHeaderLength(
        sub.At(position + 6,
               static_cast<size_t>(std::min<int64_t>(kLargestPesHeader, end - position - 6))));
    const int64_t payload = position + 6 + headerLength;
    if (headerLength >= 0 && payload < end && sub.At(payload, 1).size() == 1 &&
        sub.At(payload, 1)[0] == stream) {
      if (!Append(sub, payload + 1, end, bytes)) break;
      if (bytes.size() >= 2) {
        const size_t declared = Big16(bytes.data());
        if (declared < 4) {
          problem = "declared size " + std::to_string(declared) + " too small";
          return false;
        }
        if (bytes.size() >= declared) {
          bytes.resize(declared);
          return true;
        }
      }
    }
    position = end;
  }
  if (bytes.empty())
    problem = "no packet of its sub-stream";
  else if (bytes.size() < 2)
    problem = "cut short before its size";
  else
    problem = "cut short: " + std::to_string(bytes.size()) + " of " +
              std::to_string(Big16(bytes.data())) + " bytes";
  return false;
}

}  // namespace vobsub
