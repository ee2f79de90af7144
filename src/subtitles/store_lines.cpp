#include "store_lines.h"

#include <cmath>

namespace captivo {

std::vector<LineTimes> StoredLineTimes(const SubtitleStore& store, const SubtitleTiming& timing,
                                       std::optional<int64_t> openEndMs) {
  // The store holds whole seconds or frame numbers; exact times will come from it here.
  auto ms = [&](int32_t time) -> int64_t {
    if (store.TimesInSeconds) return int64_t(time) * 1000;
    return timing.HasRate() ? std::llround(time * 1000.0 / timing.subtitleFrameRate) : 0;
  };
  std::vector<LineTimes> lines;
  lines.reserve(store.Count());
  for (size_t i = 0; i < store.Count(); ++i) {
    const int64_t start = ms(store.StartTime(i));
    const int32_t end = store.EndTime(i);
    if (end == TTimeSpan::kNoEnd)
      lines.push_back({start, start});
    else if (end == TTimeSpan::kOpenEnd)
      lines.push_back({start, openEndMs.value_or(start)});
    else
      lines.push_back({start, ms(end)});
  }
  return lines;
}

SyncSubject SyncSubjectOf(const SubtitleStore& store, const SubtitleTiming& timing) {
  SyncSubject subject;
  subject.lines = StoredLineTimes(store, timing);
  subject.movieFrameRate = timing.movieFrameRate;
  if (!store.TimesInSeconds) subject.onlyRate = timing.subtitleFrameRate;
  return subject;
}

}  // namespace captivo
