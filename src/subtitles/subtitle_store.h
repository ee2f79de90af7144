#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "line_list.h"

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
// The entries are kept as two parallel lists, times and texts (end to end in one block),
// so that the lookup's binary search walks a compact array of times. Times in seconds are searched
// through a copy converted to frames, made again at the first lookup after the rate or the times
// change: the same conversion as entry by entry, done once instead of on every lookup.
class SubtitleStore {
 public:
  bool TimesInSeconds = false;
  LineList SubtitleLines;  // scratch lines of the frame-based reader

  // Releases every entry and forgets the last hit.
  void ClearSubtitles();
  // What a reader does before its first entry: the unit of its times, and an empty store.
  void StartReading(bool timesInSeconds) {
    TimesInSeconds = timesInSeconds;
    ClearSubtitles();
  }
  void Append(const TTimeSpan& entry) { Append(entry.StartTime, entry.EndTime, entry.Text); }
  void Append(int32_t start, int32_t end, std::string_view text);
  // Appends an entry whose text `writeText(std::string& out)` appends to `out`: a reader
  // writes a text straight into the store, so a long one is never held twice.
  template <typename WriteText>
  void AppendWritten(int32_t start, int32_t end, WriteText&& writeText) {
    times_.push_back({start, end});
    try {
      texts_.AppendWritten(std::forward<WriteText>(writeText));
    } catch (...) {
      times_.pop_back();
      throw;
    }
    TimesChanged();
  }
  size_t Count() const { return times_.size(); }
  int32_t StartTime(size_t index) const { return times_[index].start; }
  int32_t EndTime(size_t index) const { return times_[index].end; }
  std::string_view Text(size_t index) const { return texts_[index]; }
  // The changes a reader makes to an entry after appending it.
  void SetEndTime(size_t index, int32_t end);
  void AppendTextLine(size_t index, std::string_view line);  // CR LF, then the line

  // A stored time as a frame number: seconds times the subtitle frame rate, rounded half
  // to even and clamped to 32 bits; frame numbers as they stand.
  int32_t TimeToFrame(int32_t time, double subtitleFrameRate) const;

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
  // Bit for bit, so that even a rate that is not a number counts as the same again.
  bool AtMemoryRate(double subtitleFrameRate) const {
    return std::bit_cast<uint64_t>(subtitleFrameRate) == rateBits_;
  }
  std::string_view Search(int32_t position, double subtitleFrameRate);
  // The nearest start after `position` or, when not `after`, at or before it: a scan.
  std::optional<size_t> NearestStart(int32_t position, double subtitleFrameRate, bool after) const;
  const Times* FrameTimes();
  void TimesChanged();
  // Empties the memory of the last lookups.
  void ForgetLastHit();
  void ForgetLastMiss();

  std::vector<Times> times_;
  LineList texts_;
  // The bits of the rate of the last lookup, which frames_ and the memories below were
  // made at.
  uint64_t rateBits_ = 0;
  std::vector<Times> frames_;  // times_ through TimeToFrame at that rate, when in seconds
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
