#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tracks {

// The entries read of a track, each with its bytes (a text, or a packet to decode), kept
// in the order of their starts. Entries come in batches that may belong before others
// (reading went back for a part it skipped): they wait aside until Settle() merges them,
// which a caller does before looking, so that the reading thread never sorts.
class TimedEntries {
 public:
  struct Entry {
    int64_t start, end;              // end: -1 when the file gives none
    uint64_t serial;                 // which entry, whatever its place: in the order they came
    uint32_t block, offset, length;  // its bytes
  };

  void Add(int64_t start, int64_t end, std::string_view bytes);
  void Settle();
  // Settles, and gives back the room the list kept for entries to come: when none come.
  void Compact();

  size_t Count() const { return sorted_.size(); }
  const Entry& operator[](size_t index) const { return sorted_[index]; }
  std::string_view Bytes(const Entry& entry) const {
    return std::string_view(blocks_[entry.block].get() + entry.offset, entry.length);
  }
  // Grows each time entries were merged in before others.
  int64_t Order() const { return order_; }
  // The start of the entry after position `index`, or -1 when it is the last.
  int64_t NextStart(size_t index) const {
    return index + 1 < sorted_.size() ? sorted_[index + 1].start : -1;
  }
  // The position of the last entry that starts at or before `ms`, or -1.
  int64_t LastStartingBy(int64_t ms) const;
  // Whether an entry with these times and bytes is there (or waits to be merged).
  bool Contains(int64_t start, int64_t end, std::string_view bytes) const;
  // The position of `entry` (found by its start and serial), or -1 when it is not there.
  int64_t Find(const Entry& entry) const;
  // The memory the entries take: their blocks of bytes and their lists.
  size_t MemoryUsed() const {
    return blockBytes_ + (sorted_.capacity() + incoming_.capacity()) * sizeof(Entry) +
           blocks_.capacity() * sizeof(blocks_[0]);
  }

 private:
  std::vector<Entry> sorted_, incoming_;
  // The bytes, end to end in blocks that never move once written.
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockSize_ = 0, blockUsed_ = 0, blockBytes_ = 0;
  uint64_t serial_ = 0;
  int64_t order_ = 0;
};

}  // namespace tracks
