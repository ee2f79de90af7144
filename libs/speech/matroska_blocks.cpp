#include "matroska_blocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>

namespace speech {

namespace {

// The elements read or entered; every other one is stepped over by its size.
constexpr uint32_t kSegment = 0x18538067, kCluster = 0x1F43B675, kBlockGroup = 0xA0,
                   kTracks = 0x1654AE6B, kTrackEntry = 0xAE, kTrackNumber = 0xD7,
                   kContentEncodings = 0x6D80, kTrackTimecodeScale = 0x23314F, kCodecDelay = 0x56AA,
                   kClusterTimecode = 0xE7, kSimpleBlock = 0xA3, kBlock = 0xA1;
// The track list is small; a larger one is not believed.
constexpr uint64_t kLargestTracks = 16 << 20;
// A block's header: track number (at most 8 bytes), time (2), flags (1).
constexpr size_t kBlockHeader = 11;
constexpr size_t kLongestElementHeader = 12;  // an id of 4 bytes, a size of 8
// A block of sound holds a few frames; a larger one is damage, better left to FFmpeg.
constexpr uint64_t kLargestBlock = 16 << 20;
// Times are held below this, so that adding a block's own never overflows.
constexpr uint64_t kLargestTime = (uint64_t(1) << 62) - 1;

struct Number {
  uint64_t value;
  size_t length;
  bool unknown;  // a size of all ones: "until the parent ends"
};

// A variable-length number: its length told by the first byte's leading zeros. An element's
// id keeps that marker; sizes and track numbers do not.
std::optional<Number> ReadNumber(std::span<const uint8_t> bytes, bool keepMarker) {
  if (bytes.empty() || bytes[0] == 0) return std::nullopt;
  const size_t length = size_t(std::countl_zero(bytes[0])) + 1;
  if (bytes.size() < length) return std::nullopt;
  const uint8_t mask = uint8_t(0xFF >> length);
  uint64_t value = keepMarker ? bytes[0] : bytes[0] & mask;
  bool allOnes = (bytes[0] & mask) == mask;
  for (size_t i = 1; i < length; ++i) {
    value = value << 8 | bytes[i];
    allOnes = allOnes && bytes[i] == 0xFF;
  }
  return Number{value, length, allOnes && !keepMarker};
}

struct Element {
  uint32_t id;
  uint64_t size;
  bool unknownSize;
  size_t headerLength;
};

std::optional<Element> ReadElement(std::span<const uint8_t> bytes) {
  const std::optional<Number> id = ReadNumber(bytes, true);
  if (!id || id->length > 4) return std::nullopt;
  const std::optional<Number> size = ReadNumber(bytes.subspan(id->length), false);
  if (!size) return std::nullopt;
  return Element{uint32_t(id->value), size->value, size->unknown, id->length + size->length};
}

uint64_t ReadUnsigned(std::span<const uint8_t> bytes) {
  uint64_t value = 0;
  for (const uint8_t b : bytes) value = value << 8 | b;
  return value;
}

// What the track list tells of `track`: whether its frames are stored as they are and its
// times counted as the cluster's. Nothing when the list does not name it.
std::optional<bool> StoredPlainly(std::span<const uint8_t> tracks, uint64_t track) {
  while (!tracks.empty()) {
    const std::optional<Element> entry = ReadElement(tracks);
    if (!entry || entry->unknownSize || entry->size > tracks.size() - entry->headerLength)
      return std::nullopt;
    std::span<const uint8_t> fields = tracks.subspan(entry->headerLength, entry->size);
    tracks = tracks.subspan(entry->headerLength + entry->size);
    if (entry->id != kTrackEntry) continue;
    std::optional<uint64_t> number;
    bool plain = true;
    while (!fields.empty()) {
      const std::optional<Element> field = ReadElement(fields);
      if (!field || field->unknownSize || field->size > fields.size() - field->headerLength)
        return std::nullopt;
      const auto value = fields.subspan(field->headerLength, field->size);
      if (field->id == kTrackNumber && field->size <= 8) number = ReadUnsigned(value);
      if (field->id == kContentEncodings || field->id == kTrackTimecodeScale ||
          (field->id == kCodecDelay && ReadUnsigned(value) != 0))
        plain = false;
      fields = fields.subspan(field->headerLength + field->size);
    }
    if (number == track) return plain;
  }
  return std::nullopt;
}

}  // namespace

std::optional<MatroskaBlocks> MatroskaBlocks::Find(const std::string& path, int64_t knownBlock,
                                                   const KeepGoing& keepGoing) {
  BlockFile file(path);
  if (file.end_ < 0) return std::nullopt;
  const int64_t end = file.end_;
  const std::optional<Number> track = ReadNumber(file.At(knownBlock, 8), false);
  if (!track) return std::nullopt;

  MatroskaBlocks found;
  std::optional<bool> plain;
  int64_t clusterTime = -1;  // none read in this cluster yet
  uint64_t elements = 0;
  for (int64_t at = 0; at < end;) {
    if (++elements % 4096 == 0 && !keepGoing()) return std::nullopt;
    const std::span<const uint8_t> bytes = file.At(at, kLongestElementHeader);
    const std::optional<Element> element = ReadElement(bytes);
    if (!element) {
      if (bytes.size() < kLongestElementHeader) break;  // the file ends
      return std::nullopt;  // damaged: FFmpeg's demuxer looks for where it goes on
    }
    const int64_t data = at + int64_t(element->headerLength);
    // Containers are entered, their children taken as they come: a cluster whose size is
    // not told (as written live) ends where the next begins.
    if (element->id == kSegment || element->id == kCluster || element->id == kBlockGroup) {
      if (element->id == kCluster) clusterTime = -1;
      at = data;
      continue;
    }
    if (element->unknownSize) return std::nullopt;
    if (element->size > uint64_t(end - data)) break;  // the file was cut short
    const int64_t next = data + int64_t(element->size);
    if (element->id == kTracks) {
      if (element->size > kLargestTracks) return std::nullopt;
      std::vector<uint8_t> tracks(element->size);
      if (pread(file.fd_, tracks.data(), tracks.size(), data) != ssize_t(tracks.size()))
        return std::nullopt;
      plain = StoredPlainly(tracks, track->value);
      if (plain != true) return std::nullopt;
    } else if (element->id == kClusterTimecode && element->size <= 8) {
      const std::span<const uint8_t> value = file.At(data, element->size);
      if (value.size() < element->size) break;
      clusterTime = int64_t(ReadUnsigned(value.first(element->size)) & kLargestTime);
    } else if (element->id == kSimpleBlock || element->id == kBlock) {
      const std::span<const uint8_t> header = file.At(data, kBlockHeader);
      const std::optional<Number> number = ReadNumber(header, false);
      if (number && number->value == track->value) {
        if (!plain || clusterTime < 0 || header.size() < number->length + 3 ||
            element->size > kLargestBlock)
          return std::nullopt;
        const auto relative = int16_t(header[number->length] << 8 | header[number->length + 1]);
        found.blocks_.push_back({data, int32_t(element->size), clusterTime + relative});
        // Blocks of a few bytes each would make the list larger than the file itself.
        if (found.blocks_.size() * sizeof(Block) > uint64_t(end) / 2) return std::nullopt;
      }
    }
    at = next;
  }
  const bool knownFound = std::any_of(found.blocks_.begin(), found.blocks_.end(),
                                      [&](const Block& b) { return b.offset == knownBlock; });
  if (!knownFound) return std::nullopt;
  return found;
}

BlockFile::BlockFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  struct stat facts;
  if (fd_ >= 0 && fstat(fd_, &facts) == 0) end_ = facts.st_size;
}

BlockFile::~BlockFile() {
  if (fd_ >= 0) close(fd_);
}

std::span<const uint8_t> BlockFile::Read(const MatroskaBlocks::Block& block) {
  const std::span<const uint8_t> bytes = At(block.offset, size_t(block.size));
  return bytes.size() >= size_t(block.size) ? bytes.first(size_t(block.size))
                                            : std::span<const uint8_t>();
}

std::span<const uint8_t> BlockFile::At(int64_t offset, size_t want) {
  if (offset > last_) stride_ += (double(offset - last_) - stride_) / kStrideReads;
  last_ = offset;
  if (offset < start_ || offset + int64_t(want) > start_ + int64_t(filled_)) {
    // No further than the file reached when opened, unless more is wanted: a file written
    // live may have grown since.
    const size_t window = stride_ < kDenseStride ? kLargeWindow : kSmallWindow;
    const size_t size = std::max(want, size_t(std::clamp<int64_t>(end_ - offset, 0, window)));
    if (capacity_ < size) {
      // Not cleared first: only the bytes read are ever looked at.
      window_ = std::make_unique_for_overwrite<uint8_t[]>(size);
      capacity_ = size;
    }
    const ssize_t got = fd_ >= 0 ? pread(fd_, window_.get(), size, offset) : -1;
    start_ = offset;
    filled_ = got > 0 ? size_t(got) : 0;
  }
  return std::span<const uint8_t>(window_.get() + (offset - start_),
                                  filled_ - size_t(offset - start_));
}

std::optional<std::vector<std::span<const uint8_t>>> BlockFrames(std::span<const uint8_t> block) {
  const std::optional<Number> track = ReadNumber(block, false);
  if (!track || block.size() < track->length + 3) return std::nullopt;
  const uint8_t flags = block[track->length + 2];
  std::span<const uint8_t> rest = block.subspan(track->length + 3);
  const int lacing = (flags >> 1) & 3;  // none, Xiph, fixed sizes, EBML
  if (lacing == 0) return std::vector<std::span<const uint8_t>>{rest};
  if (rest.empty()) return std::nullopt;
  const size_t count = size_t(rest[0]) + 1;
  rest = rest.subspan(1);
  std::vector<size_t> sizes;
  if (lacing == 1) {
    for (size_t i = 0; i + 1 < count; ++i) {
      size_t size = 0;
      uint8_t b;
      do {
        if (rest.empty()) return std::nullopt;
        b = rest[0];
        size += b;
        rest = rest.subspan(1);
      } while (b == 0xFF);
      sizes.push_back(size);
    }
  } else if (lacing == 2) {
    if (rest.size() % count != 0) return std::nullopt;
    sizes.assign(count - 1, rest.size() / count);
  } else {
    // The first size, then each the one before plus a signed difference.
    const std::optional<Number> first = ReadNumber(rest, false);
    if (!first || first->unknown) return std::nullopt;
    rest = rest.subspan(first->length);
    int64_t size = int64_t(std::min<uint64_t>(first->value, INT64_MAX / 2));
    sizes.push_back(size_t(size));
    for (size_t i = 1; i + 1 < count; ++i) {
      const std::optional<Number> difference = ReadNumber(rest, false);
      if (!difference || difference->unknown) return std::nullopt;
      rest = rest.subspan(difference->length);
      const int64_t bias = (int64_t(1) << (7 * difference->length - 1)) - 1;
      size += int64_t(difference->value) - bias;
      if (size < 0 || uint64_t(size) > block.size()) return std::nullopt;
      sizes.push_back(size_t(size));
    }
  }
  std::vector<std::span<const uint8_t>> frames;
  for (const size_t size : sizes) {
    if (size > rest.size()) return std::nullopt;
    frames.push_back(rest.first(size));
    rest = rest.subspan(size);
  }
  frames.push_back(rest);
  return frames;
}

}  // namespace speech
