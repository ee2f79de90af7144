#include "program_stream.h"

#include <algorithm>
#include <cstring>

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

// What a start code costs, in bytes scanned: so that a file of nothing but start codes
// or tiny packets wears the work budget down as fast as one of junk.
constexpr int64_t kStartCodeWork = 32;

// The position of the next start code (00 00 01 and the code byte) in [position, limit),
// or -1.
int64_t NextStartCode(RegularFile& file, int64_t position, int64_t limit) {
  while (limit - position >= 4) {
    auto block = file.Ahead(position, 4);
    block = block.first(static_cast<size_t>(std::min<int64_t>(block.size(), limit - position)));
    if (block.size() < 4) return -1;
    // Each 01 byte with two zero bytes before it and a code byte after it.
    const uint8_t* const data = block.data();
    const uint8_t* const last = data + block.size() - 1;
    for (const uint8_t* one = data + 2;
         (one = static_cast<const uint8_t*>(std::memchr(one, 1, static_cast<size_t>(last - one))));
         ++one)
      if (one[-1] == 0 && one[-2] == 0) return position + (one - 2 - data);
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
                    std::vector<uint8_t>& bytes, std::string& problem, int64_t& work) {
  bytes.clear();
  limit = std::min(limit, sub.Size());
  const uint8_t stream = static_cast<uint8_t>(kFirstSubPicture + language);
  for (int64_t next; (next = NextStartCode(sub, position, limit)) >= 0;) {
    work += next - position + kStartCodeWork;
    position = next;
    const auto code = sub.At(position, 6);
    if (code.size() < 4) break;  // the file has shrunk since it was opened
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
      const size_t had = bytes.size();
      if (!Append(sub, payload + 1, end, bytes)) break;
      work += static_cast<int64_t>(bytes.size() - had);
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
  work += std::max<int64_t>(0, limit - position);
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
