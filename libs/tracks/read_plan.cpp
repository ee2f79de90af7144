#include "read_plan.h"

#include <algorithm>

namespace tracks {

ReadPlan::ReadPlan() = default;

std::map<int64_t, int64_t>::const_iterator ReadPlan::Holding(int64_t ms) const {
  auto after = read_.upper_bound(ms);
  if (after == read_.begin()) return read_.end();
  auto part = std::prev(after);
  return ms < part->second ? part : read_.end();
}

void ReadPlan::Add(int64_t from, int64_t to) {
  if (from >= to) return;
  // Joins every part that overlaps or touches [from, to).
  auto it = read_.upper_bound(from);
  if (it != read_.begin() && std::prev(it)->second >= from) --it;
  while (it != read_.end() && it->first <= to) {
    from = std::min(from, it->first);
    to = std::max(to, it->second);
    it = read_.erase(it);
  }
  read_.emplace(from, to);
}

int64_t ReadPlan::FirstUnreadFrom(int64_t ms) const {
  const auto part = Holding(ms);
  return part == read_.end() ? ms : part->second;
}

int64_t ReadPlan::NextPartStart(int64_t ms) const {
  const auto next = read_.upper_bound(ms);
  return next == read_.end() ? kMovieEnd : next->first;
}

ReadPlan::Verdict ReadPlan::Packet(int64_t ms) {
  ms = std::clamp(ms, kMovieStart, kMovieEnd - 1);
  if (!active_ || ms < runStart_) return Verdict::Drop;
  const auto part = Holding(ms);
  if (part == read_.end()) {
    runEnd_ = std::max(runEnd_, ms + 1);
    return stops_.count(ms) ? Verdict::KeepIfNew : Verdict::Keep;
  }
  // Packets come in the order of their times: everything before this part is read.
  const int64_t after = part->second;
  Add(runStart_, after);
  if (after >= kMovieEnd) {
    active_ = false;
    return Verdict::Drop;
  }
  runStart_ = runEnd_ = after;
  return Verdict::Jump;
}

void ReadPlan::EndOfFile() {
  if (active_) Add(runStart_, kMovieEnd);
  active_ = false;
}

void ReadPlan::StopRun() {
  if (active_ && runEnd_ > runStart_) {
    Add(runStart_, runEnd_ - 1);
    stops_.insert(runEnd_ - 1);
  }
  active_ = false;
}

void ReadPlan::AbandonRun() {
  if (active_) Add(runStart_, NextPartStart(runStart_));
  active_ = false;
}

bool ReadPlan::StartRun(int64_t ms) {
  StopRun();
  const int64_t start = FirstUnreadFrom(std::max(ms, kMovieStart));
  if (start >= kMovieEnd) return false;
  active_ = true;
  runStart_ = runEnd_ = start;
  return true;
}

bool ReadPlan::Covers(int64_t from, int64_t to) const {
  for (int64_t ms = from;;) {
    if (active_ && runStart_ <= ms && ms < runEnd_) ms = runEnd_;
    const auto part = Holding(ms);
    if (part != read_.end()) ms = part->second;
    if (ms > to) return true;
    if (part == read_.end() && !(active_ && runStart_ <= ms && ms < runEnd_)) return false;
  }
}

}  // namespace tracks
