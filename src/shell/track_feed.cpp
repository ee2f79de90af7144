#include "track_feed.h"

#include "subtitle_store.h"
#include "tracks.h"

namespace captivo {

namespace {

// A line the file gives no end shows this long.
constexpr int64_t kLineWithoutEndMs = 5000;
// Ticks come a few times a second: a larger step between two is a seek.
constexpr int64_t kSeekMs = 2000;

void AppendLine(void* context, int64_t start, int64_t end, const char* text, int32_t length) {
  auto& store = *static_cast<SubtitleStore*>(context);
  store.AppendMilliseconds(start, end < 0 ? start + kLineWithoutEndMs : end,
                           std::string_view(text, static_cast<size_t>(length)));
}

}  // namespace

void TrackFeed::Open(const std::string& path, int32_t index, int64_t fromMs, bool pictures) {
  Close();
  reader_ = OpenTrackReader(path.c_str(), index);
  if (reader_ && fromMs > 0) ReadTrackFromTime(reader_, fromMs);
  if (pictures) pictures_.Start(reader_);
}

void TrackFeed::Close() {
  pictures_.Stop();
  if (reader_) CloseTrackReader(reader_);
  reader_ = nullptr;
  taken_ = 0;
  order_ = -1;
  lastDueMs_ = -1;
}

void TrackFeed::TakeInto(SubtitleStore& store, int64_t dueMs) {
  if (!reader_) return;
  TrackProgress progress{};
  GetTrackProgress(reader_, &progress);
  const bool seek = lastDueMs_ >= 0 && (dueMs - lastDueMs_ > kSeekMs || dueMs < lastDueMs_);
  if (seek && progress.state == kTrackReading) ReadTrackFromTime(reader_, dueMs);
  lastDueMs_ = dueMs;
  if (progress.order != order_) {  // lines came in before those taken: all again
    store.StartReadingMilliseconds();
    taken_ = 0;
    order_ = progress.order;
  }
  if (progress.count <= taken_) return;
  const size_t before = store.Count();
  const int64_t order = GetTrackTexts(reader_, taken_, AppendLine, &store);
  taken_ += static_cast<int64_t>(store.Count() - before);
  if (order != order_) order_ = -1;  // reordered while handed over: taken again next time
}

}  // namespace captivo
