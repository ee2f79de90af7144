#include "subtitle_store.h"

#include "conversions.h"

namespace captivo {

const std::string SubtitleStore::kNoText;

void SubtitleStore::ClearSubtitles() {
  SubtitleList.clear();
  SubtitleList.shrink_to_fit();
  ForgetLastHit();
}

int32_t SubtitleStore::TimeToFrame(int32_t time) const {
  return TimesInSeconds ? RoundToInt32(time * subtitleFrameRate_) : time;
}

void SubtitleStore::ForgetLastHit() {
  CachedStart = 0;
  CachedEnd = 0;
  CachedText.clear();
}

bool SubtitleStore::HitAt(size_t index, int32_t position, int32_t& start) {
  const TTimeSpan& entry = SubtitleList[index];
  start = TimeToFrame(entry.StartTime);
  const int32_t end = TimeToFrame(entry.EndTime);
  if (start <= position && position <= end) {
    CachedStart = start;
    CachedEnd = end;
    CachedText = entry.Text;
    return true;
  }
  return false;
}

const std::string& SubtitleStore::FindSubtitleAt(int32_t position) {
  if (SubtitleList.empty()) return kNoText;
  if (CachedStart < position && position < CachedEnd) return CachedText;

  size_t lo = 0, hi = SubtitleList.size() - 1;
  int32_t start;
  for (;;) {
    const size_t mid = (lo + hi) / 2;
    if (HitAt(mid, position, start)) return CachedText;
    if (hi - lo <= 1) return (hi - lo == 1 && HitAt(hi, position, start)) ? CachedText : kNoText;
    if (start > position)
      hi = mid;
    else
      lo = mid;
  }
}

}  // namespace captivo
