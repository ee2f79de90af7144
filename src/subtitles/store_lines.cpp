#include "store_lines.h"

#include <cmath>

namespace captivo {

std::vector<LineTimes> StoredLineTimes(const SubtitleStore& store, const SubtitleTiming& timing,
                                       std::optional<int64_t> openEndMs) {
  // Time-based lines to the millisecond the file gives; frame numbers at the rate in force.
  auto frameMs = [&](int32_t frames) -> int64_t {
    return timing.HasRate() ? std::llround(frames * 1000.0 / timing.SubtitleFrameRate()) : 0;
  };
  std::vector<LineTimes> lines;
  lines.reserve(store.Count());
  for (size_t i = 0; i < store.Count(); ++i) {
    const int64_t start =
        store.TimesInSeconds ? store.ExactStartMs(i) : frameMs(store.StartTime(i));
    const int32_t end = store.EndTime(i);
    if (end == TTimeSpan::kNoEnd)
      lines.push_back({start, start});
    else if (end == TTimeSpan::kOpenEnd)
      lines.push_back({start, openEndMs.value_or(start)});
    else
      lines.push_back({start, store.TimesInSeconds ? store.ExactEndMs(i) : frameMs(end)});
  }
  return lines;
}

SyncSubject SyncSubjectOf(const SubtitleStore& store, const SubtitleTiming& timing) {
  SyncSubject subject;
  subject.lines = StoredLineTimes(store, timing);
  subject.movieFrameRate = timing.movieFrameRate;
  if (!store.TimesInSeconds) subject.onlyRate = timing.SubtitleFrameRate();
  return subject;
}

}  // namespace captivo
