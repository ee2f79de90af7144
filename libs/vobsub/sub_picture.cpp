#include "sub_picture.h"

namespace vobsub {

namespace {

enum Command : uint8_t {
  kForcedStart = 0x00,
  kStart = 0x01,
  kStop = 0x02,
  kColours = 0x03,
  kAlpha = 0x04,
  kRectangle = 0x05,
  kOffsets = 0x06,
};

size_t Big16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<size_t>(bytes[at]) << 8 | bytes[at + 1];
}

// Dates count units of 1024/90000 s.
int64_t DateToMilliseconds(size_t date) {
  return static_cast<int64_t>(date << 10) / 90;
}

// The bytes that follow a command; -1 for one that ends the sequence (0xFF, or one
// whose length is unknown).
int ArgumentBytes(uint8_t command) {
  switch (command) {
    case kForcedStart:
    case kStart:
    case kStop:
      return 0;
    case kColours:
    case kAlpha:
      return 2;
    case kRectangle:
      return 6;
    case kOffsets:
      return 4;
    default:
      return -1;
  }
}

// Four 4-bit values, the one for pixel value 3 first.
std::array<uint8_t, 4> Nibbles(std::span<const uint8_t> bytes, size_t at) {
  return {static_cast<uint8_t>(bytes[at + 1] & 15), static_cast<uint8_t>(bytes[at + 1] >> 4),
          static_cast<uint8_t>(bytes[at] & 15), static_cast<uint8_t>(bytes[at] >> 4)};
}

}  // namespace

bool ParseSubPicture(std::span<const uint8_t> bytes, SubPictureLayout& layout,
                     std::string& problem) {
  const size_t size = bytes.size();
  size_t sequence = size >= 4 ? Big16(bytes, 2) : 0;
  if (sequence < 4 || sequence + 4 > size) {
    problem = "control sequences outside the sub-picture";
    return false;
  }
  SubPictureLayout running;  // colours, opacities and delays as set so far
  bool found = false;
  for (;;) {
    const size_t date = Big16(bytes, sequence);
    const size_t next = Big16(bytes, sequence + 2);
    bool hasRectangle = false, hasOffsets = false;
    for (size_t at = sequence + 4; at < size;) {
      const uint8_t command = bytes[at++];
      const int argumentBytes = ArgumentBytes(command);
      if (argumentBytes < 0) break;
      if (at + static_cast<size_t>(argumentBytes) > size) {
        problem = "control command cut short";
        return false;
      }
      switch (command) {
        case kStart:
          running.startDelay = DateToMilliseconds(date);
          break;
        case kStop:
          running.stopDelay = DateToMilliseconds(date);
          break;
        case kColours:
          running.colour = Nibbles(bytes, at);
          break;
        case kAlpha:
          running.alpha = Nibbles(bytes, at);
          break;
        case kRectangle:
          running.left = static_cast<int32_t>(bytes[at] << 4 | bytes[at + 1] >> 4);
          running.right = static_cast<int32_t>((bytes[at + 1] & 15) << 8 | bytes[at + 2]);
          running.top = static_cast<int32_t>(bytes[at + 3] << 4 | bytes[at + 4] >> 4);
          running.bottom = static_cast<int32_t>((bytes[at + 4] & 15) << 8 | bytes[at + 5]);
          hasRectangle = true;
          break;
        case kOffsets:
          running.fieldOffsets = {Big16(bytes, at), Big16(bytes, at + 2)};
          hasOffsets = true;
          break;
      }
      at += static_cast<size_t>(argumentBytes);
    }
    if (hasRectangle && hasOffsets) {
      if (running.right < running.left || running.bottom < running.top) {
        problem = "empty rectangle";
        return false;
      }
      for (const size_t offset : running.fieldOffsets)
        if (offset < 4 || offset >= size) {
          problem = "run-length data outside the sub-picture";
          return false;
        }
      layout = running;
      found = true;
    }
    // The last sequence points at itself; one pointing back or outside ends the list too.
    if (next <= sequence || next + 4 > size) break;
    sequence = next;
  }
  if (!found) {
    problem = "no picture in the control sequences";
    return false;
  }
  // Start and stop delays come from the whole list, wherever they were set.
  layout.startDelay = running.startDelay;
  layout.stopDelay = running.stopDelay > running.startDelay ? running.stopDelay : -1;
  return true;
}

}  // namespace vobsub
