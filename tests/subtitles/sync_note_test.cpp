// The notes a synchronisation leaves in the status bar.
#include "sync_note.h"

#include <gtest/gtest.h>

namespace captivo {
namespace {

SyncResult Result(SyncOutcome outcome, int agreement = 0) {
  SyncResult result;
  result.outcome = outcome;
  result.agreementPercent = agreement;
  return result;
}

TEST(SyncNote, SaysWhatWasFoundAndHowSure) {
  SyncResult solved = Result(SyncOutcome::Solved, 91);
  solved.offsetMs = 2'980;
  solved.subtitleFrameRate = 25;
  EXPECT_EQ(SyncNote(solved, SyncSource::Speech),
            "Synchronized to speech: offset 2,980 ms, 25 fps; 91 % of lines on speech");
  solved.offsetMs = -1'234'567;
  solved.subtitleFrameRate = 23.976;
  solved.cut = SyncCut{411, 1'000'000, 12'340};
  EXPECT_EQ(SyncNote(solved, SyncSource::SecondSubtitle),
            "Synchronized to the second subtitle: offset -1,234,567 ms, 23.976 fps, lines from 412 "
            "on 12,340 ms later; 91 % of lines on the second subtitle's");
  solved.cut->shiftMs = -800;
  solved.subtitleFrameRate = 25.012345678;  // a rate of its own
  EXPECT_EQ(SyncNote(solved, SyncSource::Speech),
            "Synchronized to speech: offset -1,234,567 ms, 25.012 fps, lines from 412 on 800 ms "
            "earlier; 91 % of lines on speech");
}

TEST(SyncNote, SaysWhyNothingChanged) {
  struct Case {
    SyncOutcome outcome;
    SyncSource source;
    const char* note;
  } cases[] = {
      {SyncOutcome::NoLines, SyncSource::Speech, "The subtitle has no lines to synchronize"},
      {SyncOutcome::TooFewLines, SyncSource::Speech,
       "Too few lines to synchronize: at least 5 are needed"},
      {SyncOutcome::NoMovieRate, SyncSource::Speech,
       "The movie has no frame rate to synchronize to"},
      {SyncOutcome::NoSpeech, SyncSource::Speech,
       "No speech found in the movie's sound; nothing changed"},
      {SyncOutcome::NoSpeech, SyncSource::SecondSubtitle,
       "The second subtitle has no lines; nothing changed"},
      {SyncOutcome::TooLittleAgreement, SyncSource::Speech,
       "Too little agreement with the speech to synchronize (12 % of lines on speech at best); "
       "nothing changed"},
      {SyncOutcome::Cancelled, SyncSource::Speech, "Synchronizing cancelled; nothing changed"},
      {SyncOutcome::MovieUnreadable, SyncSource::Speech,
       "The movie cannot be read; nothing changed"},
      {SyncOutcome::NoSound, SyncSource::Speech, "The movie has no sound; nothing changed"},
      {SyncOutcome::SoundUnreadable, SyncSource::Speech,
       "The movie's sound cannot be decoded; nothing changed"},
  };
  for (const Case& c : cases) EXPECT_EQ(SyncNote(Result(c.outcome, 12), c.source), c.note);
}

TEST(GroupedNumber, PutsCommasBetweenThousands) {
  EXPECT_EQ(GroupedNumber(0), "0");
  EXPECT_EQ(GroupedNumber(999), "999");
  EXPECT_EQ(GroupedNumber(1'000), "1,000");
  EXPECT_EQ(GroupedNumber(-12'340), "-12,340");
  EXPECT_EQ(GroupedNumber(INT64_MIN), "-9,223,372,036,854,775,808");
}

}  // namespace
}  // namespace captivo
