#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace captivo {

// A subtitle line's start and end in milliseconds.
struct LineTimes {
  int64_t startMs = 0, endMs = 0;
};

// The lines to lay on the speech or on another subtitle, with their times as stored: a
// line stored at T ms shows at movie time t where T = t * movieRate / rate + offset (see
// ShownAtMs), so that a solve is an offset and a subtitle rate as the user sets them.
struct SyncSubject {
  std::vector<LineTimes> lines;
  double movieFrameRate = 0;
  // Lines whose times were converted from frame numbers at a rate keep that rate: a rate
  // cannot move them. Otherwise the movie's own rate, the menu's and those of the usual
  // release pairs are tried, and rates near the movie's.
  std::optional<double> onlyRate;
  // False for pictures, which cannot be moved one by one: one offset and rate for all,
  // no cut looked for.
  bool linesCanMove = true;
};

// A second offset from one line on: a scene cut from one release or added to it.
struct SyncCut {
  size_t fromLine = 0;       // the earliest line moved, as an index into the lines given
  int64_t fromStoredMs = 0;  // every line stored to start at or after this is moved
  int32_t shiftMs = 0;       // added to the stored start and end of each line moved
};

// How a synchronisation ended. The solve gives the first seven; the last three are the
// reading of the movie's sound failing before it, for the notes to tell alike.
enum class SyncOutcome {
  Solved,
  NoLines,             // the subtitle has no lines
  TooFewLines,         // fewer than kFewestSyncLines: too few to tell one position from another
  NoMovieRate,         // the movie has no frame rate to convert at
  NoSpeech,            // nothing that could be speech (or no reference line) was found
  TooLittleAgreement,  // no offset and rate lay the lines on it well enough
  Cancelled,
  MovieUnreadable,  // the movie file cannot be opened or is not a movie
  NoSound,          // the movie has no sound (or not the track asked for)
  SoundUnreadable,  // its sound cannot be decoded
};

inline constexpr size_t kFewestSyncLines = 5;

struct SyncResult {
  SyncOutcome outcome = SyncOutcome::NoLines;
  int32_t offsetMs = 0;
  double subtitleFrameRate = 0;
  int agreementPercent = 0;  // of the lines that lie on speech (or reference lines)
  std::optional<SyncCut> cut;
  // How sure: laid anywhere else, this many of the lines would lie on speech.
  int chancePercent = 0;
};

// Called now and then with the share of the work done, 0 to 1; false stops the solve.
using SyncProgress = std::function<bool(double)>;

// Where speech was heard: one level for each `frameMs` from the movie's start, 0 (none) to
// 255 (speech surely).
struct SpeechLevels {
  std::span<const uint8_t> levels;
  int frameMs = 10;
};

// The offset, rate and cut that lay `subject`'s lines best on the speech, or on the
// `reference` lines (times in the movie, in ms). Plain computation, safe on any thread;
// a two-hour movie takes a fraction of a second.
SyncResult SyncToSpeech(const SyncSubject& subject, const SpeechLevels& speech,
                        const SyncProgress& progress);
SyncResult SyncToLines(const SyncSubject& subject, std::span<const LineTimes> reference,
                       const SyncProgress& progress);

}  // namespace captivo
