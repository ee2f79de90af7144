#pragma once

#include <string_view>
#include <vector>

#include "speech_sync.h"
#include "subtitle_store.h"
#include "subtitle_timing.h"

namespace captivo {

// Each entry of `store`, in its order, with its start and end in milliseconds as stored:
// times in seconds exact (their fractions, whatever Exact Times says), frame numbers converted at
// the subtitle rate of `timing` (see SubtitleTiming::ShownAtMs). An entry without an end, never
// shown, ends at its start; one shown until the movie ends at `openEndMs` (stored time), else also
// at its start.
std::vector<LineTimes> StoredLineTimes(const SubtitleStore& store, const SubtitleTiming& timing,
                                       std::optional<int64_t> openEndMs = std::nullopt);

// The store's lines as a synchronisation takes them: lines timed in frames keep the rate
// in force, as a rate cannot move them.
SyncSubject SyncSubjectOf(const SubtitleStore& store, const SubtitleTiming& timing);

}  // namespace captivo
