#include "sync_note.h"

#include <cmath>
#include <cstdlib>

#include "conversions.h"

namespace captivo {

std::string GroupedNumber(int64_t value) {
  const std::string digits = std::to_string(value < 0 ? -(value + 1) + 1ull : uint64_t(value));
  std::string out = value < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string SyncNote(const SyncResult& result, SyncSource source) {
  const bool speech = source == SyncSource::Speech;
  const std::string onWhat = speech ? "of lines on speech" : "of lines on the second subtitle's";
  const std::string unchanged = "; nothing changed";
  switch (result.outcome) {
    case SyncOutcome::Solved: {
      // A rate of its own is shown to the thousandth, as the menu's are.
      std::string note =
          std::string(speech ? "Synchronized to speech" : "Synchronized to the second subtitle") +
          ": offset " + GroupedNumber(result.offsetMs) + " ms, " +
          FormatReal(std::round(result.subtitleFrameRate * 1000) / 1000) + " fps";
      if (result.cut)
        note += ", lines from " + GroupedNumber(int64_t(result.cut->fromLine) + 1) + " on " +
                GroupedNumber(std::abs(int64_t(result.cut->shiftMs))) + " ms " +
                (result.cut->shiftMs > 0 ? "later" : "earlier");
      return note + "; " + std::to_string(result.agreementPercent) + " % " + onWhat;
    }
    case SyncOutcome::NoLines:
      return "The subtitle has no lines to synchronize";
    case SyncOutcome::TooFewLines:
      return "Too few lines to synchronize: at least " + std::to_string(kFewestSyncLines) +
             " are needed";
    case SyncOutcome::NoMovieRate:
      return "The movie has no frame rate to synchronize to";
    case SyncOutcome::NoSpeech:
      return (speech ? "No speech found in the movie's sound"
                     : "The second subtitle has no lines") +
             unchanged;
    case SyncOutcome::TooLittleAgreement:
      return std::string("Too little agreement ") +
             (speech ? "with the speech" : "with the second subtitle") + " to synchronize (" +
             std::to_string(result.agreementPercent) + " % " + onWhat + " at best)" + unchanged;
    case SyncOutcome::Cancelled:
      return "Synchronizing cancelled" + unchanged;
    case SyncOutcome::MovieUnreadable:
      return "The movie cannot be read" + unchanged;
    case SyncOutcome::NoSound:
      return "The movie has no sound" + unchanged;
    case SyncOutcome::SoundUnreadable:
      return "The movie's sound cannot be decoded" + unchanged;
  }
  return {};
}

}  // namespace captivo
