#pragma once

#include <string>

#include "speech_sync.h"

namespace captivo {

// What the lines were laid on.
enum class SyncSource { Speech, SecondSubtitle };

// The status note after a synchronisation: what was found and how sure ("Synchronized to
// speech: offset 2,980 ms, 25 fps; 91 % of lines on speech"), with the line a cut moves
// from, or why nothing changed.
std::string SyncNote(const SyncResult& result, SyncSource source);

// A whole number with a comma between thousands: -12,340.
std::string GroupedNumber(int64_t value);

}  // namespace captivo
