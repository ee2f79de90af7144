#include "subtitle_store.h"

#include <algorithm>
#include <bit>

#include "conversions.h"

namespace captivo {

void SubtitleStore::ClearSubtitles() {
  times_.Release();
  fractions_.Release();
  texts_.Release();
  std::vector<Times>().swap(frames_);
  TimesChanged();
  ForgetLastHit();
}

void SubtitleStore::StartReading(bool timesInSeconds) {
  TimesInSeconds = timesInSeconds;
  millisecondsOnly_ = false;
  ClearSubtitles();
}

void SubtitleStore::StartReadingMilliseconds() {
  StartReading(/*timesInSeconds=*/true);
  millisecondsOnly_ = true;
}

void SubtitleStore::Append(FileTime start, FileTime end, std::string_view text) {
  AppendTimes(start, end);
  try {
    texts_.Append(text);
  } catch (...) {
    DropLastTimes();
    throw;
  }
}

void SubtitleStore::AppendTimes(FileTime start, FileTime end) {
  if (start.fractionMs != 0 || end.fractionMs != 0 || !fractions_.Empty()) {
    if (fractions_.Empty()) {  // the first fraction: the entries before have none
      Fractions* none = fractions_.Extend(times_.Size());
      std::fill(none, none + times_.Size(), Fractions{0, 0});
    }
    fractions_.PushBack({start.fractionMs, end.fractionMs});
  }
  try {
    times_.PushBack({start.whole, end.whole});
  } catch (...) {
    fractions_.Truncate(times_.Size());
    throw;
  }
  TimesChanged();
}

void SubtitleStore::DropLastTimes() {
  times_.Truncate(times_.Size() - 1);
  fractions_.Truncate(times_.Size());
  TimesChanged();
}

int64_t SubtitleStore::ExactStartMs(size_t index) const {
  return FileTime(times_[index].start, fractions_.Empty() ? 0 : fractions_[index].start)
      .Milliseconds();
}

int64_t SubtitleStore::ExactEndMs(size_t index) const {
  return FileTime(times_[index].end, fractions_.Empty() ? 0 : fractions_[index].end).Milliseconds();
}

void SubtitleStore::SetEndTime(size_t index, int32_t end) {
  times_[index].end = end;
  if (!fractions_.Empty()) fractions_[index].end = 0;
  TimesChanged();
}

void SubtitleStore::ShiftLines(std::span<const size_t> lines, int32_t shiftMs,
                               double subtitleFrameRate) {
  const auto isSentinel = [](int32_t end) {
    return end == TTimeSpan::kNoEnd || end == TTimeSpan::kOpenEnd;
  };
  if (!TimesInSeconds) {
    const int32_t frames = RoundToInt32(shiftMs * subtitleFrameRate / 1000.0);
    for (const size_t i : lines) {
      times_[i].start = SaturatedAdd(times_[i].start, frames);
      if (!isSentinel(times_[i].end)) times_[i].end = SaturatedAdd(times_[i].end, frames);
    }
  } else {
    if (fractions_.Empty() && shiftMs % 1000 != 0) {
      Fractions* none = fractions_.Extend(times_.Size());
      std::fill(none, none + times_.Size(), Fractions{0, 0});
    }
    for (const size_t i : lines) {
      const FileTime start = FileTime::FromMilliseconds(ExactStartMs(i) + shiftMs);
      times_[i].start = start.whole;
      if (!fractions_.Empty()) fractions_[i].start = start.fractionMs;
      if (isSentinel(times_[i].end)) continue;
      const FileTime end = FileTime::FromMilliseconds(ExactEndMs(i) + shiftMs);
      times_[i].end = end.whole;
      if (!fractions_.Empty()) fractions_[i].end = end.fractionMs;
    }
  }
  TimesChanged();
  ForgetLastHit();
}

void SubtitleStore::AppendTextLine(std::string_view line) {
  texts_.ExtendLast("\r\n");
  texts_.ExtendLast(line);
}

void SubtitleStore::SetExactTimes(bool exact) {
  if (exact == exactTimes_) return;
  exactTimes_ = exact;
  TimesChanged();
  ForgetLastHit();  // its bounds were converted from the other times
}

SubtitleStore::Times SubtitleStore::Converted(size_t index, double subtitleFrameRate) const {
  if (!TimesInSeconds) return times_[index];
  if (!LooksUpExactTimes())
    return {RoundToInt32(times_[index].start * subtitleFrameRate),
            RoundToInt32(times_[index].end * subtitleFrameRate)};
  const int64_t startMs = ExactStartMs(index), endMs = ExactEndMs(index);
  const int32_t start = FrameAtMilliseconds(startMs, subtitleFrameRate);
  const int32_t last = LastFrameBeforeMilliseconds(endMs, subtitleFrameRate);
  // A line shorter than a frame still shows for one; one that ends before it starts never.
  return {start,
          endMs >= startMs ? std::max(start, last) : std::min(last, SaturatedAdd(start, -1))};
}

int32_t SubtitleStore::StartFrame(size_t index, double subtitleFrameRate) const {
  return Converted(index, subtitleFrameRate).start;
}

int32_t SubtitleStore::EndFrame(size_t index, double subtitleFrameRate) const {
  return Converted(index, subtitleFrameRate).end;
}

std::optional<size_t> SubtitleStore::NextLineAfter(int32_t position,
                                                   double subtitleFrameRate) const {
  return NearestStart(position, subtitleFrameRate, true);
}

std::optional<size_t> SubtitleStore::LineStartedAt(int32_t position,
                                                   double subtitleFrameRate) const {
  return NearestStart(position, subtitleFrameRate, false);
}

std::optional<size_t> SubtitleStore::NearestStart(int32_t position, double subtitleFrameRate,
                                                  bool after) const {
  std::optional<size_t> found;
  int32_t foundStart = 0;
  for (size_t i = 0; i < times_.Size(); ++i) {
    const int32_t start = StartFrame(i, subtitleFrameRate);
    if ((start > position) != after) continue;
    // Strictly nearer only, so that the first of equal starts stays.
    if (!found || (after ? start < foundStart : start > foundStart)) {
      found = i;
      foundStart = start;
    }
  }
  return found;
}

void SubtitleStore::ForgetLastHit() {
  CachedStart = 0;
  CachedEnd = 0;
  CachedIndex = kNoHit;
  ForgetLastMiss();
}

void SubtitleStore::TimesChanged() {
  framesStale_ = true;
  ForgetLastMiss();
}

void SubtitleStore::ForgetLastMiss() {
  missLow_ = 1;
  missHigh_ = 0;
}

const SubtitleStore::Times* SubtitleStore::FrameTimes() {
  if (!TimesInSeconds) return times_.Data();
  if (framesStale_) {
    const double rate = std::bit_cast<double>(rateBits_);
    frames_.resize(times_.Size());
    for (size_t i = 0; i < times_.Size(); ++i) frames_[i] = Converted(i, rate);
    framesStale_ = false;
  }
  return frames_.data();
}

std::string_view SubtitleStore::FindSubtitleAt(int32_t wanted, double subtitleFrameRate) {
  // The memories are empty while the store is. The search is a call of its own, so that
  // an answer from memory saves no registers.
  if (AtMemoryRate(subtitleFrameRate)) {
    if (CachedStart < wanted && wanted < CachedEnd) return texts_[CachedIndex];
    if (missLow_ <= wanted && wanted <= missHigh_) return {};
  }
  return Search(wanted, subtitleFrameRate);
}

std::string_view SubtitleStore::Search(int32_t wanted, double subtitleFrameRate) {
  if (times_.Empty()) return {};
  if (!AtMemoryRate(subtitleFrameRate)) {
    rateBits_ = std::bit_cast<uint64_t>(subtitleFrameRate);
    framesStale_ = true;
    ForgetLastHit();
  }
  const Times* frames = FrameTimes();
  const int64_t position = wanted;
  // [low, high]: the positions that would take every branch this search takes.
  int64_t low = INT32_MIN, high = INT32_MAX;
  // Which way the search goes cannot be predicted: the steps are computed as masks
  // rather than jumps, which the processor would mispredict every other time.
  auto probe = [&](size_t index, uint64_t& before) {
    const int64_t start = frames[index].start, end = frames[index].end;
    // Both differences are non-negative exactly when start <= position <= end.
    if (((static_cast<uint64_t>(position - start) | static_cast<uint64_t>(end - position)) >> 63) ==
        0) {
      CachedStart = static_cast<int32_t>(start);
      CachedEnd = static_cast<int32_t>(end);
      CachedIndex = index;
      return true;
    }
    before = -static_cast<uint64_t>(start > position);  // all ones or zero
    const int64_t newHigh = std::min(high, start - 1);
    const int64_t newLow = std::max({low, start, end + 1});
    high = static_cast<int64_t>((newHigh & before) | (high & ~before));
    low = static_cast<int64_t>((low & before) | (newLow & ~before));
    return false;
  };

  size_t lo = 0, hi = times_.Size() - 1;
  uint64_t before;
  for (;;) {
    const size_t mid = (lo + hi) / 2;
    // Both halves' next probes are fetched while this one is compared.
    __builtin_prefetch(&frames[(lo + mid) / 2]);
    __builtin_prefetch(&frames[(mid + hi) / 2]);
    if (probe(mid, before)) return texts_[mid];
    if (hi - lo <= 1) {
      if (hi - lo == 1 && probe(hi, before)) return texts_[hi];
      missLow_ = low;
      missHigh_ = high;
      return {};
    }
    hi = (mid & before) | (hi & ~before);
    lo = (lo & before) | (mid & ~before);
  }
}

}  // namespace captivo
