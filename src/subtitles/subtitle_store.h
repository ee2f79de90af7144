#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conversions.h"
#include "growing_array.h"
#include "text_list.h"

namespace captivo {

// One text subtitle. Times are whole seconds or frame numbers (see TimesInSeconds), both
// inclusive; lines of Text are joined by CR LF.
struct TTimeSpan {
  static constexpr int32_t kNoEnd = -1;            // the file gave no end
  static constexpr int32_t kOpenEnd = 2147483647;  // shows until the end of playback
  int32_t StartTime = 0;
  int32_t EndTime = kNoEnd;
  std::string Text;
};

// The subtitles of the text file loaded last, in file order, and the lookup by frame
// position. Stored times are never converted: each lookup converts them at the subtitle
// frame rate it is given, the rate in force, which the owner keeps.
//
// A time-based store keeps, beside the whole seconds of every start and end, the
// milliseconds of their fractions: its exact times. A switch chooses which of the two the
// lookups convert; a store filled with milliseconds converts its exact times always.
// Frame numbers are compared as they stand either way.
//
// The entries are kept as parallel lists, times and texts (end to end in one block), so
// that the lookup's binary search walks a compact array of times; fractions take room only
// once a file has one. Time-based entries are searched through a copy converted to frames,
// made again at the first lookup after the rate, the times or the switch change: the same
// conversion as entry by entry, done once instead of on every lookup.
class SubtitleStore {
 public:
  bool TimesInSeconds = false;  // time-based; false: frame numbers

  // Releases every entry and forgets the last hit.
  void ClearSubtitles();
  // What a reader does before its first entry: the unit of its times, and an empty store.
  void StartReading(bool timesInSeconds);
  // The same for a reader of milliseconds: exact times, whatever the switch says.
  void StartReadingMilliseconds();

  void Append(const TTimeSpan& entry) { Append(entry.StartTime, entry.EndTime, entry.Text); }
  // Appends an entry: frame numbers, or whole seconds with the fractions the file gave.
  void Append(FileTime start, FileTime end, std::string_view text);
  // The same with a text that `text.WriteTo(char* out)` writes straight into the store,
  // `text.Size()` bytes, so a long one is never held twice. Should anything raise, nothing
  // is added.
  template <typename Text>
  void AppendWritten(FileTime start, FileTime end, const Text& text) {
    AppendTimes(start, end);
    try {
      texts_.AppendWritten(text.Size(), [&text](char* out) { text.WriteTo(out); });
    } catch (...) {
      DropLastTimes();
      throw;
    }
  }
  // An entry of a store filled with milliseconds (StartReadingMilliseconds).
  void AppendMilliseconds(int64_t startMs, int64_t endMs, std::string_view text) {
    Append(FileTime::FromMilliseconds(startMs), FileTime::FromMilliseconds(endMs), text);
  }

  size_t Count() const { return times_.Size(); }
  // Whole seconds or frame numbers, as the readers have always stored them.
  int32_t StartTime(size_t index) const { return times_[index].start; }
  int32_t EndTime(size_t index) const { return times_[index].end; }
  // The exact start and end of an entry of a time-based store, in milliseconds: its whole
  // seconds with their fractions, whatever the switch says. An open end is kOpenEnd
  // seconds, beyond every position.
  int64_t ExactStartMs(size_t index) const;
  int64_t ExactEndMs(size_t index) const;
  std::string_view Text(size_t index) const { return texts_[index]; }
  // The changes a reader makes to an entry after appending it.
  void SetEndTime(size_t index, int32_t end);  // a whole time, without a fraction
  void AppendTextLine(std::string_view line);  // to the last entry: CR LF, then the line
  // Moves each of `lines` by `shiftMs`, start and end (an end the file did not give, or
  // one open to the end of playback, stays so): time-based entries to the millisecond,
  // keeping fractions from then on; frame numbers by the frames `shiftMs` lasts at
  // `subtitleFrameRate`. Moving by the opposite shift puts them back.
  void ShiftLines(std::span<const size_t> lines, int32_t shiftMs, double subtitleFrameRate);

  // The switch between whole seconds (off, as files were always shown) and exact times.
  void SetExactTimes(bool exact);
  bool ExactTimes() const { return exactTimes_; }
  // True when the lookups convert exact times: a time-based store with the switch on, or
  // one filled with milliseconds.
  bool LooksUpExactTimes() const { return TimesInSeconds && (exactTimes_ || millisecondsOnly_); }

  // An entry's start and end as the lookups convert them at `subtitleFrameRate`. Frame
  // numbers as they stand. Whole seconds: times the rate, rounded half to even. Exact
  // times: from the frame the start falls on through the last frame that begins before
  // the end, never before the start frame unless the end comes before the start (such an
  // entry never shows, as in whole seconds). All clamped to 32 bits.
  int32_t StartFrame(size_t index, double subtitleFrameRate) const;
  int32_t EndFrame(size_t index, double subtitleFrameRate) const;

  // The text of the entry whose start and end, converted at `subtitleFrameRate`, enclose
  // `position` (both inclusive), or an empty text. A binary search in list order behind a
  // memory of the last hit, which answers positions strictly inside the remembered bounds.
  // The memory holds bounds converted at one rate: a lookup at another forgets it first.
  std::string_view FindSubtitleAt(int32_t position, double subtitleFrameRate);

  // The lines a user command means by "this line now", whatever the order of the file:
  // the entry whose start, converted at `subtitleFrameRate`, is the smallest one after
  // `position`, and the one whose start is the greatest one at or before it. Among equal
  // starts the first in file order; nothing when no entry qualifies.
  std::optional<size_t> NextLineAfter(int32_t position, double subtitleFrameRate) const;
  std::optional<size_t> LineStartedAt(int32_t position, double subtitleFrameRate) const;

 private:
  struct Times {
    int32_t start, end;
  };
  struct Fractions {
    int16_t start, end;
  };
  // Bit for bit, so that even a rate that is not a number counts as the same again.
  bool AtMemoryRate(double subtitleFrameRate) const {
    return std::bit_cast<uint64_t>(subtitleFrameRate) == rateBits_;
  }
  void AppendTimes(FileTime start, FileTime end);
  void DropLastTimes();
  Times Converted(size_t index, double subtitleFrameRate) const;
  std::string_view Search(int32_t position, double subtitleFrameRate);
  // The nearest start after `position` or, when not `after`, at or before it: a scan.
  std::optional<size_t> NearestStart(int32_t position, double subtitleFrameRate, bool after) const;
  const Times* FrameTimes();
  void TimesChanged();
  // Empties the memory of the last lookups.
  void ForgetLastHit();
  void ForgetLastMiss();

  GrowingArray<Times> times_;
  GrowingArray<Fractions> fractions_;  // none until an entry has a fraction, then one each
  TextList texts_;
  bool exactTimes_ = false;
  bool millisecondsOnly_ = false;
  // The bits of the rate of the last lookup, which frames_ and the memories below were
  // made at.
  uint64_t rateBits_ = 0;
  std::vector<Times> frames_;  // the times through Converted at that rate, when time-based
  bool framesStale_ = true;

  // The memory of the last hit: its converted bounds and the entry it found.
  static constexpr size_t kNoHit = static_cast<size_t>(-1);
  int32_t CachedStart = 0;
  int32_t CachedEnd = 0;
  size_t CachedIndex = kNoHit;

  // The positions that take the same path through the search as the last miss, and so
  // miss too: between subtitles playback needs no search on every tick either. Empty
  // when low > high; forgotten whenever the times or the rate change.
  int64_t missLow_ = 1;
  int64_t missHigh_ = 0;
};

}  // namespace captivo
