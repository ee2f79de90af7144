#include "timed_entries.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tracks {

namespace {

// Blocks grow with what they hold, from a small first one: a short track wastes little.
constexpr size_t kFirstBlock = 4 * 1024;
constexpr size_t kLargestBlock = 1024 * 1024;

bool Earlier(const TimedEntries::Entry& a, const TimedEntries::Entry& b) {
  return a.start != b.start ? a.start < b.start : a.serial < b.serial;
}

}  // namespace

void TimedEntries::Add(int64_t start, int64_t end, std::string_view bytes) {
  const size_t length = std::min<size_t>(bytes.size(), std::numeric_limits<uint32_t>::max());
  if (blocks_.empty() || blockSize_ - blockUsed_ < length) {
    blockSize_ = std::max(std::clamp(blockBytes_, kFirstBlock, kLargestBlock), length);
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockBytes_ += blockSize_;
    blockUsed_ = 0;
  }
  if (length) std::memcpy(blocks_.back().get() + blockUsed_, bytes.data(), length);
  incoming_.push_back({start, end, serial_++, static_cast<uint32_t>(blocks_.size() - 1),
                       static_cast<uint32_t>(blockUsed_), static_cast<uint32_t>(length)});
  blockUsed_ += length;
}

void TimedEntries::Settle() {
  if (incoming_.empty()) return;
  std::stable_sort(incoming_.begin(), incoming_.end(), Earlier);
  const bool after = sorted_.empty() || !Earlier(incoming_.front(), sorted_.back());
  const size_t middle = sorted_.size();
  sorted_.insert(sorted_.end(), incoming_.begin(), incoming_.end());
  std::vector<Entry>().swap(incoming_);
  if (after) return;
  std::inplace_merge(sorted_.begin(), sorted_.begin() + static_cast<ptrdiff_t>(middle),
                     sorted_.end(), Earlier);
  ++order_;
}

void TimedEntries::Compact() {
  Settle();
  sorted_.shrink_to_fit();  // the blocks stay: bytes in them may be being decoded
}

int64_t TimedEntries::LastStartingBy(int64_t ms) const {
  const auto after = std::upper_bound(sorted_.begin(), sorted_.end(), ms,
                                      [](int64_t t, const Entry& e) { return t < e.start; });
  return static_cast<int64_t>(after - sorted_.begin()) - 1;
}

bool TimedEntries::Contains(int64_t start, int64_t end, std::string_view bytes) const {
  auto same = [&](const Entry& e) { return e.start == start && e.end == end && Bytes(e) == bytes; };
  const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), start,
                                      [](const Entry& e, int64_t t) { return e.start < t; });
  for (auto it = first; it != sorted_.end() && it->start == start; ++it)
    if (same(*it)) return true;
  return std::any_of(incoming_.begin(), incoming_.end(), same);
}

int64_t TimedEntries::Find(const Entry& entry) const {
  const auto found = std::lower_bound(sorted_.begin(), sorted_.end(), entry, Earlier);
  return found != sorted_.end() && found->serial == entry.serial ? found - sorted_.begin() : -1;
}

}  // namespace tracks
