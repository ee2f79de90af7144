#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace speech {

// Where the blocks of one track of a Matroska file lie, found by reading the elements'
// headers alone. FFmpeg's demuxer reads every block of every track into memory before it
// looks at the track, and the picture's blocks are most of a movie's bytes: stepping over
// them unread makes the sound of a two-hour movie several seconds quicker to read.
class MatroskaBlocks {
 public:
  struct Block {
    int64_t offset;  // of the block's bytes (track number, time, flags, frames)
    int32_t size;
    int64_t timecode;  // the cluster's time plus the block's, as FFmpeg's timestamps
  };

  // The blocks of the track whose block starts at `knownBlock` (a byte position FFmpeg gave
  // for one of its packets); a file cut short gives those whole before the cut. Nothing
  // when the layout is not understood here (the track's frames stored compressed or timed
  // apart from their cluster, damage, a size left unknown outside a segment or cluster,
  // blocks too large or too small to be sound), when no block of the track starts at
  // `knownBlock`, or when `keepGoing` turns false (asked every few thousand elements): the
  // caller then reads the file with FFmpeg's demuxer.
  using KeepGoing = std::function<bool()>;
  static std::optional<MatroskaBlocks> Find(const std::string& path, int64_t knownBlock,
                                            const KeepGoing& keepGoing);

  const std::vector<Block>& Blocks() const { return blocks_; }

 private:
  std::vector<Block> blocks_;
};

// Reads blocks' bytes, and the headers Find looks at, from the file; each thread reads
// through one of its own. A read costs as much as copying some tens of kilobytes: where
// what is read lies close together (sound beside a modest picture) one large window holds
// many blocks or headers and saves most reads; where it lies far apart, each read takes
// only what is wanted and copies nothing of the bytes between.
class BlockFile {
 public:
  explicit BlockFile(const std::string& path);
  ~BlockFile();
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // The block's bytes, until the next read; none when the file ends before them.
  std::span<const uint8_t> Read(const MatroskaBlocks::Block& block);

 private:
  friend class MatroskaBlocks;
  // The bytes from `offset` on that the window holds, until the next read: at least
  // `want` unless the file ends.
  std::span<const uint8_t> At(int64_t offset, size_t want);

  static constexpr size_t kSmallWindow = 256, kLargeWindow = 256 << 10;
  // The mean distance between the places read, over about this many reads, below which a
  // large window holds enough of them to be worth its copying.
  static constexpr double kStrideReads = 16, kDenseStride = 16 << 10;
  const int fd_;
  int64_t end_ = -1;  // the file's size when opened; -1 when it cannot be read
  std::unique_ptr<uint8_t[]> window_;
  size_t capacity_ = 0;
  int64_t start_ = 0, last_ = 0;
  size_t filled_ = 0;
  double stride_ = kDenseStride;
};

// The frames one block holds, as spans of its bytes (`block` from its track number on):
// one, or several laced together. Nothing when the block is damaged.
std::optional<std::vector<std::span<const uint8_t>>> BlockFrames(std::span<const uint8_t> block);

}  // namespace speech
