#pragma once

#include <cstdint>
#include <functional>
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

// Reads blocks' bytes from the file; each thread reads through one of its own.
class BlockFile {
 public:
  explicit BlockFile(const std::string& path);
  ~BlockFile();
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // The block's bytes, until the next read; none when the file no longer holds them.
  std::span<const uint8_t> Read(const MatroskaBlocks::Block& block);

 private:
  friend class MatroskaBlocks;
  const int fd_;
  std::vector<uint8_t> bytes_;
};

// The frames one block holds, as spans of its bytes (`block` from its track number on):
// one, or several laced together. Nothing when the block is damaged.
std::optional<std::vector<std::span<const uint8_t>>> BlockFrames(std::span<const uint8_t> block);

}  // namespace speech
