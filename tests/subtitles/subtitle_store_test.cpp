#include "subtitle_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <random>

namespace captivo {
namespace {

class StoreTest : public ::testing::Test {
 protected:
  void Fill(bool seconds, std::initializer_list<TTimeSpan> entries) {
    store.TimesInSeconds = seconds;
    store.ClearSubtitles();
    for (const TTimeSpan& e : entries) store.Append(e);
  }
  double frameRate = 25.0;
  SubtitleStore store;
};

TEST_F(StoreTest, TheLineNowIsFoundByConvertedStartsInAnyFileOrder) {
  constexpr std::optional<size_t> none;
  struct Case {
    bool seconds;
    int32_t position;
    std::optional<size_t> next, started;
  } cases[] = {
      // Frames, stored out of order: starts 300, 100, 200, 100, 50.
      {false, 0, 4, none},
      {false, 49, 4, none},
      {false, 50, 1, 4},  // the first of the two lines at 100 is next
      {false, 99, 1, 4},
      {false, 100, 2, 1},  // and the first of them has started
      {false, 250, 0, 2},
      {false, 300, none, 0},
      {false, INT32_MAX, none, 0},
      // The same numbers as seconds, converted at 25 frames per second.
      {true, 100, 4, none},
      {true, 1250, 1, 4},
      {true, 2499, 1, 4},
      {true, 2500, 2, 1},
      {true, 7499, 0, 2},
      {true, 7500, none, 0},
  };
  for (const Case& c : cases) {
    Fill(c.seconds,
         {{300, 310, "a"}, {100, 110, "b"}, {200, 210, "c"}, {100, 120, "d"}, {50, 60, "e"}});
    EXPECT_EQ(store.NextLineAfter(c.position, frameRate), c.next) << c.seconds << " " << c.position;
    EXPECT_EQ(store.LineStartedAt(c.position, frameRate), c.started)
        << c.seconds << " " << c.position;
  }
  Fill(false, {});
  EXPECT_EQ(store.NextLineAfter(0, frameRate), none);
  EXPECT_EQ(store.LineStartedAt(0, frameRate), none);
}

TEST_F(StoreTest, TheLineNowFollowsTheRateOnlyForSeconds) {
  Fill(true, {{4, 5, "a"}, {5, 6, "b"}});  // 100 and 125 at 25; 96 and 120 at 24
  EXPECT_EQ(store.NextLineAfter(100, 25), 1u);
  EXPECT_EQ(store.NextLineAfter(100, 24), 1u);
  EXPECT_EQ(store.LineStartedAt(99, 25), std::nullopt);
  EXPECT_EQ(store.LineStartedAt(99, 24), 0u);
  EXPECT_EQ(store.LineStartedAt(120, 24), 1u);
  EXPECT_EQ(store.LineStartedAt(120, 25), 0u);
  Fill(false, {{4, 5, "a"}, {5, 6, "b"}});
  EXPECT_EQ(store.LineStartedAt(4, 24), 0u);
  EXPECT_EQ(store.NextLineAfter(4, 1000), 1u);
}

TEST_F(StoreTest, ATextThatFailsHalfWrittenLeavesNoTrace) {
  Fill(true, {{10, 20, "a"}});
  struct FailingText {
    size_t Size() const { return 4; }
    void WriteTo(char* out) const {
      out[0] = 'h';
      throw std::bad_alloc();
    }
  };
  // The first fraction of the store comes with the entry that fails.
  EXPECT_THROW(store.AppendWritten(FileTime(30, 500), 40, FailingText()), std::bad_alloc);
  EXPECT_EQ(store.Count(), 1u);
  store.Append(FileTime(50, 250), 60, "b");
  ASSERT_EQ(store.Count(), 2u);
  EXPECT_EQ(store.Text(0), "a");
  EXPECT_EQ(store.Text(1), "b");
  EXPECT_EQ(store.ExactStartMs(0), 10000);
  EXPECT_EQ(store.ExactStartMs(1), 50250);
  EXPECT_EQ(store.FindSubtitleAt(55 * 25, frameRate), "b");
  EXPECT_EQ(store.FindSubtitleAt(35 * 25, frameRate), "");
}

TEST_F(StoreTest, FramesAreFoundWithInclusiveBounds) {
  Fill(false, {{10, 20, "a"}, {30, 40, "b"}, {50, 60, "c"}, {70, 80, "d"}});
  struct Case {
    int32_t position;
    const char* text;
  } cases[] = {
      {9, ""},   {10, "a"}, {20, "a"}, {21, ""}, {29, ""}, {30, "b"},       {35, "b"},
      {60, "c"}, {70, "d"}, {80, "d"}, {81, ""}, {-5, ""}, {INT32_MAX, ""}, {INT32_MIN, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(store.FindSubtitleAt(c.position, frameRate), c.text) << c.position;
  // Sweeping down and back up exercises the memory in both directions.
  for (int p = 85; p >= 5; --p) {
    const std::string expected = p >= 10 && p <= 20   ? "a"
                                 : p >= 30 && p <= 40 ? "b"
                                 : p >= 50 && p <= 60 ? "c"
                                 : p >= 70 && p <= 80 ? "d"
                                                      : "";
    EXPECT_EQ(store.FindSubtitleAt(p, frameRate), expected) << p;
  }
}

TEST_F(StoreTest, SmallStores) {
  EXPECT_EQ(store.FindSubtitleAt(0, frameRate), "");  // empty store
  Fill(false, {{5, 7, "one"}});
  EXPECT_EQ(store.FindSubtitleAt(4, frameRate), "");
  EXPECT_EQ(store.FindSubtitleAt(5, frameRate), "one");
  EXPECT_EQ(store.FindSubtitleAt(7, frameRate), "one");
  EXPECT_EQ(store.FindSubtitleAt(8, frameRate), "");
  Fill(false, {{5, 7, "one"}, {9, 12, "two"}});
  EXPECT_EQ(store.FindSubtitleAt(12, frameRate), "two");  // the last entry is reached
  EXPECT_EQ(store.FindSubtitleAt(8, frameRate), "");
}

TEST_F(StoreTest, SecondsAreConvertedAtTheRateInForce) {
  Fill(true, {{1, 3, "x"}, {10, 12, "y"}, {20, TTimeSpan::kOpenEnd, "open"}});
  EXPECT_EQ(store.FindSubtitleAt(24, frameRate), "");
  EXPECT_EQ(store.FindSubtitleAt(25, frameRate), "x");
  EXPECT_EQ(store.FindSubtitleAt(75, frameRate), "x");
  EXPECT_EQ(store.FindSubtitleAt(76, frameRate), "");
  EXPECT_EQ(store.FindSubtitleAt(INT32_MAX, frameRate), "open");

  frameRate = 23.976;
  EXPECT_EQ(store.StartFrame(1, frameRate), 240);
  EXPECT_EQ(store.EndFrame(2, frameRate), INT32_MAX);
  EXPECT_EQ(store.FindSubtitleAt(240, frameRate), "y");
  EXPECT_EQ(store.FindSubtitleAt(239, frameRate), "");
  frameRate = 25;
  EXPECT_EQ(store.FindSubtitleAt(250, frameRate), "y");
}

TEST_F(StoreTest, FramesIgnoreTheRate) {
  Fill(false, {{100, 200, "f"}});
  for (double rate : {0.0, 23.976, 30.0}) {
    frameRate = rate;
    EXPECT_EQ(store.FindSubtitleAt(100, frameRate), "f");
    EXPECT_EQ(store.FindSubtitleAt(201, frameRate), "");
  }
}

TEST_F(StoreTest, MemoryAnswersOnlyStrictlyInsideItsBounds) {
  Fill(true, {{1, 3, "a"}});
  EXPECT_EQ(store.FindSubtitleAt(50, frameRate), "a");  // remembers frames 25 to 75
  store.SetEndTime(0, 1);  // now 25 to 25, but the memory still answers
  EXPECT_EQ(store.FindSubtitleAt(74, frameRate), "a");
  EXPECT_EQ(store.FindSubtitleAt(75, frameRate), "");   // a bound is searched again
  EXPECT_EQ(store.FindSubtitleAt(74, frameRate), "a");  // a miss leaves the memory as it was
  EXPECT_EQ(store.FindSubtitleAt(74, 30.0), "");        // another rate forgets the memory,
  EXPECT_EQ(store.FindSubtitleAt(74, frameRate), "");   // so the new end is searched
}

TEST_F(StoreTest, ClearingForgetsTheLastHit) {
  Fill(false, {{0, 1000, "old"}});
  EXPECT_EQ(store.FindSubtitleAt(500, frameRate), "old");
  Fill(false, {{400, 600, "new"}});
  EXPECT_EQ(store.FindSubtitleAt(500, frameRate), "new");
  Fill(false, {{0, 10, "other"}});
  EXPECT_EQ(store.FindSubtitleAt(500, frameRate), "");
}

TEST_F(StoreTest, DisorderIsKeptAsRead) {
  Fill(false, {{50, 60, "late"}, {10, 20, "early"}, {10, 20, "twin"}, {90, 80, "reversed"}});
  ASSERT_EQ(store.Count(), 4u);
  EXPECT_EQ(store.Text(0), "late");
  EXPECT_EQ(store.FindSubtitleAt(85, frameRate), "");  // an end before its start never shows
}

TEST_F(StoreTest, AnEntryWithoutEndNeverShows) {
  Fill(false, {{10, 20, "a"}, {30, TTimeSpan::kNoEnd, "last"}});
  EXPECT_EQ(store.FindSubtitleAt(30, frameRate), "");
  EXPECT_EQ(store.FindSubtitleAt(-1, frameRate), "");
}

TEST_F(StoreTest, ALookupAtAnotherRateNeverAnswersFromTheOtherRatesMemory) {
  Fill(true, {{10, 12, "y"}, {20, 22, "z"}});
  // Nobody forgets the last hit in between: the rate given is enough.
  EXPECT_EQ(store.FindSubtitleAt(260, 23.976), "y");  // remembers 240 to 288
  EXPECT_EQ(store.FindSubtitleAt(245, 25), "");       // 250 to 300 at 25
  EXPECT_EQ(store.FindSubtitleAt(245, 23.976), "y");
  // The memory of a miss, too: 300 to 499 lie between the entries at 25.
  EXPECT_EQ(store.FindSubtitleAt(400, 25), "");
  EXPECT_EQ(store.FindSubtitleAt(480, 23.976), "z");  // 480 to 527 at 23.976
  EXPECT_EQ(store.FindSubtitleAt(400, 25), "");
  EXPECT_EQ(store.FindSubtitleAt(500, 25), "z");
}

TEST_F(StoreTest, AlternatingRatesAgreeWithAScanAtEachRate) {
  // Whole seconds in ascending order, as the time-based readers give them.
  std::vector<TTimeSpan> entries;
  for (int32_t t = 0, i = 0; i < 300; t += 2 + i % 3, ++i)
    entries.push_back({t, t + i % 2, "s" + std::to_string(i)});
  store.TimesInSeconds = true;
  store.ClearSubtitles();
  for (const auto& e : entries) store.Append(e);
  const double rates[] = {23.976, 24, 25, 29.97, 30};
  std::mt19937 random(99);
  std::uniform_int_distribution<int32_t> position(-10, 26000), step(0, 3);
  std::uniform_int_distribution<size_t> pick(0, std::size(rates) - 1);
  int32_t p = 0;
  for (int i = 0; i < 20000; ++i) {
    const double rate = rates[i % 50 ? pick(random) % 2 : pick(random)];
    p = i % 10 ? p + step(random) : position(random);
    std::string expected;
    for (const auto& e : entries)
      if (RoundToInt32(e.StartTime * rate) <= p && p <= RoundToInt32(e.EndTime * rate))
        expected = e.Text;
    ASSERT_EQ(store.FindSubtitleAt(p, rate), expected) << "p " << p << " at " << rate;
  }
}

TEST_F(StoreTest, MatchesALinearScanOnGeneratedStores) {
  // Ascending, non-overlapping entries with gaps: the search must agree with a scan.
  std::vector<TTimeSpan> entries;
  int32_t t = -50;
  for (int i = 0; i < 137; ++i) {
    entries.push_back({t, t + i % 5, "e" + std::to_string(i)});
    t += i % 5 + 1 + i % 3;
  }
  store.ClearSubtitles();
  for (const auto& e : entries) store.Append(e);
  for (int32_t p = -60; p <= t + 10; ++p) {
    std::string expected;
    for (const auto& e : entries)
      if (e.StartTime <= p && p <= e.EndTime) expected = e.Text;
    ASSERT_EQ(store.FindSubtitleAt(p, frameRate), expected) << p;
  }
}

// Exact times: milliseconds with their fractions, converted from the frame the start falls
// on through the last frame that begins before the end.
class ExactStoreTest : public ::testing::Test {
 protected:
  struct Timed {
    int64_t startMs, endMs;
    const char* text;
  };
  void Fill(std::initializer_list<Timed> entries) {
    store.StartReading(/*timesInSeconds=*/true);
    for (const Timed& e : entries)
      store.Append(FileTime::FromMilliseconds(e.startMs), FileTime::FromMilliseconds(e.endMs),
                   e.text);
  }
  SubtitleStore store;
};

TEST_F(ExactStoreTest, EachModeConvertsItsOwnTimes) {
  // At 25 frames a second frame n lasts from 40n to 40n + 40 ms.
  Fill({{1999, 3001, "a"},
        {4010, 4030, "short"},
        {5000, 5000, "flash"},
        {7000, 6500, "backwards"},
        {8000, 9000, "b"},
        {9000, 2147483647000, "open"}});
  struct Case {
    int32_t position;
    const char* whole;  // nullptr: two lines hold the frame, either may be found
    const char* exact;
  } cases[] = {
      {24, "", ""},
      {25, "a", ""},  // whole: 1 to 3 s, frames 25 to 75
      {48, "a", ""},
      {49, "a", "a"},  // 1999 ms falls on frame 49
      {75, "a", "a"},  // 3001 ms: frame 75 began before it
      {76, "", ""},
      {100, "short", "short"},  // 20 ms, within frame 100: shown for that frame
      {101, "", ""},
      {125, "flash", "flash"},  // no time at all still shows for a frame
      {126, "", ""},
      {150, "", ""},  // ending before it starts, it never shows
      {175, "", ""},
      {200, "b", "b"},
      {224, "b", "b"},
      {225, nullptr, "open"},  // exact: 9000 ms is where "b" ends and "open" starts
      {INT32_MAX, "open", "open"},
  };
  for (const bool exact : {false, true, false, true}) {
    store.SetExactTimes(exact);
    for (const Case& c : cases) {
      const char* expected = exact ? c.exact : c.whole;
      if (!expected) continue;
      EXPECT_EQ(store.FindSubtitleAt(c.position, 25), expected)
          << c.position << (exact ? " exact" : " whole");
    }
  }
}

TEST_F(ExactStoreTest, BackToBackLinesShareNoFrameAtAFramesBeginning) {
  Fill({{2000, 4000, "first"}, {4000, 6000, "second"}});
  store.SetExactTimes(true);
  EXPECT_EQ(store.EndFrame(0, 25), 99);
  EXPECT_EQ(store.StartFrame(1, 25), 100);
  EXPECT_EQ(store.FindSubtitleAt(99, 25), "first");
  EXPECT_EQ(store.FindSubtitleAt(100, 25), "second");
  // In whole seconds both hold frame 100, as they always did.
  store.SetExactTimes(false);
  EXPECT_EQ(store.EndFrame(0, 25), 100);
  EXPECT_EQ(store.StartFrame(1, 25), 100);
}

TEST_F(ExactStoreTest, TheLineNowFollowsTheMode) {
  Fill({{1500, 2000, "a"}, {1900, 2500, "b"}});
  // Whole seconds: both start at 1 s, frame 25. Exact: frames 37 and 47.
  EXPECT_EQ(store.NextLineAfter(24, 25), 0u);
  EXPECT_EQ(store.NextLineAfter(30, 25), std::nullopt);
  EXPECT_EQ(store.LineStartedAt(30, 25), 0u);
  store.SetExactTimes(true);
  EXPECT_EQ(store.NextLineAfter(30, 25), 0u);
  EXPECT_EQ(store.NextLineAfter(40, 25), 1u);
  EXPECT_EQ(store.LineStartedAt(40, 25), 0u);
  EXPECT_EQ(store.LineStartedAt(36, 25), std::nullopt);
  EXPECT_EQ(store.StartFrame(1, 25), 47);
}

TEST_F(ExactStoreTest, FramesAndMillisecondStoresIgnoreTheSwitch) {
  store.StartReading(/*timesInSeconds=*/false);
  store.Append(100, 200, "frames");
  store.SetExactTimes(true);
  EXPECT_FALSE(store.LooksUpExactTimes());
  EXPECT_EQ(store.FindSubtitleAt(100, 25), "frames");
  EXPECT_EQ(store.FindSubtitleAt(201, 25), "");

  store.StartReadingMilliseconds();
  store.AppendMilliseconds(1500, 2500, "exact");
  for (const bool exact : {false, true}) {
    store.SetExactTimes(exact);
    EXPECT_TRUE(store.LooksUpExactTimes());
    EXPECT_EQ(store.FindSubtitleAt(36, 25), "");
    EXPECT_EQ(store.FindSubtitleAt(37, 25), "exact");
    EXPECT_EQ(store.FindSubtitleAt(62, 25), "exact");
    EXPECT_EQ(store.FindSubtitleAt(63, 25), "");
  }
  EXPECT_EQ(store.StartTime(0), 1);
  EXPECT_EQ(store.ExactEndMs(0), 2500);
  // The next file read by a reader of seconds follows the switch again.
  store.SetExactTimes(false);
  Fill({{1500, 2500, "whole"}});
  EXPECT_FALSE(store.LooksUpExactTimes());
  EXPECT_EQ(store.FindSubtitleAt(25, 25), "whole");
}

TEST_F(ExactStoreTest, AWholeEndDropsItsFractionAndANewFileItsFractions) {
  Fill({{1250, 1750, "a"}, {2000, 3000, "b"}});
  store.SetEndTime(0, 5);
  EXPECT_EQ(store.ExactStartMs(0), 1250);
  EXPECT_EQ(store.ExactEndMs(0), 5000);
  Fill({{1000, 2000, "whole"}});
  EXPECT_EQ(store.ExactStartMs(0), 1000);
  EXPECT_EQ(store.ExactEndMs(0), 2000);
}

TEST_F(ExactStoreTest, SwitchingModesAndRatesAgreesWithAScan) {
  // Ascending lines of 300 to 2700 ms with gaps of 0 to 900 ms, fractions everywhere.
  std::vector<Timed> entries;
  std::vector<std::string> texts;
  for (int64_t t = 0, i = 0; i < 300; ++i) {
    texts.push_back("x" + std::to_string(i));
    const int64_t end = t + 300 + (i * 277) % 2400;
    entries.push_back({t, end, nullptr});
    t = end + (i * 131) % 3 * 450;
  }
  store.StartReading(/*timesInSeconds=*/true);
  for (size_t i = 0; i < entries.size(); ++i)
    store.Append(FileTime::FromMilliseconds(entries[i].startMs),
                 FileTime::FromMilliseconds(entries[i].endMs), texts[i]);
  const double rates[] = {23.976, 25, 29.97};
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> jump(-10, 25000), step(0, 3);
  int32_t p = 0;
  bool exact = false;
  for (int i = 0; i < 20000; ++i) {
    if (i % 97 == 0) store.SetExactTimes(exact = !exact);  // in the middle of a sweep
    const double rate = rates[i / 500 % 3];
    p = i % 10 ? p + step(random) : jump(random);
    std::string expected;
    for (size_t k = 0; k < entries.size(); ++k) {
      const Timed& e = entries[k];
      const int32_t start = exact
                                ? FrameAtMilliseconds(e.startMs, rate)
                                : RoundToInt32(FileTime::FromMilliseconds(e.startMs).whole * rate);
      const int32_t end = exact ? std::max(start, LastFrameBeforeMilliseconds(e.endMs, rate))
                                : RoundToInt32(FileTime::FromMilliseconds(e.endMs).whole * rate);
      if (start <= p && p <= end && expected.empty()) expected = texts[k];
    }
    // Where two lines share a frame, the search may find either.
    const std::string_view found = store.FindSubtitleAt(p, rate);
    if (found != expected) {
      bool shared = false;
      for (size_t k = 0; k < entries.size(); ++k)
        shared = shared || (found == texts[k] && store.StartFrame(k, rate) <= p &&
                            p <= store.EndFrame(k, rate));
      ASSERT_TRUE(shared) << "p " << p << " at " << rate << (exact ? " exact" : " whole")
                          << ": found " << found << ", expected " << expected;
    }
  }
}

// A synchronisation's cut moves some lines of the store, and its undo moves them back.
TEST(StoreShift, MovesTheLinesGivenAndBackAgain) {
  struct Case {
    const char* name;
    bool seconds;
    int32_t shiftMs;
    // Entries 0 and 2 move; entry 1 has no end the file gave, entry 2 an open one.
    std::vector<int64_t> startsAfter, endsAfter;  // ms, or frames
  };
  const int32_t open = TTimeSpan::kOpenEnd;
  const std::vector<Case> cases = {
      {"whole seconds by a fraction",
       true,
       -2'500,
       {7'500, 20'000, 27'500},
       {9'000, TTimeSpan::kNoEnd, int64_t(open) * 1000}},
      {"whole seconds by seconds",
       true,
       4'000,
       {14'000, 20'000, 34'000},
       {15'500, TTimeSpan::kNoEnd, int64_t(open) * 1000}},
      {"frames at 25 fps", false, 1'000, {35, 20, 55}, {49, 20, open}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SubtitleStore store;
    store.TimesInSeconds = c.seconds;
    if (c.seconds) {
      store.Append(FileTime{10, 0}, FileTime{11, 500}, "one");
      store.Append(FileTime{20, 0}, FileTime{TTimeSpan::kNoEnd, 0}, "two");
      store.Append(FileTime{30, 0}, FileTime{open, 0}, "three");
    } else {
      store.Append({10, 24, "one"});
      store.Append({20, TTimeSpan::kNoEnd, "two"});
      store.Append({30, open, "three"});
    }
    const auto starts = [&] {
      std::vector<int64_t> out;
      for (size_t i = 0; i < 3; ++i)
        out.push_back(c.seconds ? store.ExactStartMs(i) : store.StartTime(i));
      return out;
    };
    const std::vector<int64_t> before = starts();
    const std::vector<size_t> moved = {0, 2};
    store.ShiftLines(moved, c.shiftMs, 25.0);
    EXPECT_EQ(starts(), c.startsAfter);
    EXPECT_EQ(c.seconds ? store.ExactEndMs(0) : store.EndTime(0), c.endsAfter[0]);
    EXPECT_EQ(store.EndTime(1), TTimeSpan::kNoEnd);
    EXPECT_EQ(store.EndTime(2), open);
    store.ShiftLines(moved, -c.shiftMs, 25.0);
    EXPECT_EQ(starts(), before);
  }
}

}  // namespace
}  // namespace captivo

namespace captivo {
namespace {

// The lookup as first written down: a plain binary search behind the memory of the last
// hit. The store adds a memory of the last miss; its answers must not differ, also on
// stores in disorder, where the search misses entries that enclose the position.
class ReferenceLookup {
 public:
  explicit ReferenceLookup(std::vector<TTimeSpan> entries) : entries_(std::move(entries)) {}
  std::string Find(int32_t p) {
    if (entries_.empty()) return "";
    if (cachedStart_ < p && p < cachedEnd_) return cachedText_;
    size_t lo = 0, hi = entries_.size() - 1;
    for (;;) {
      const size_t mid = (lo + hi) / 2;
      if (Test(mid, p)) return cachedText_;
      if (hi - lo <= 1) return hi - lo == 1 && Test(hi, p) ? cachedText_ : "";
      if (entries_[mid].StartTime > p)
        hi = mid;
      else
        lo = mid;
    }
  }

 private:
  bool Test(size_t i, int32_t p) {
    if (entries_[i].StartTime <= p && p <= entries_[i].EndTime) {
      cachedStart_ = entries_[i].StartTime;
      cachedEnd_ = entries_[i].EndTime;
      cachedText_ = entries_[i].Text;
      return true;
    }
    return false;
  }
  std::vector<TTimeSpan> entries_;
  int32_t cachedStart_ = 0, cachedEnd_ = 0;
  std::string cachedText_;
};

TEST(StoreLookup, AgreesWithThePlainSearchOnDisorderedStores) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    std::vector<TTimeSpan> entries;
    const int count = std::uniform_int_distribution<int>(1, 40)(random);
    std::uniform_int_distribution<int32_t> time(-30, 300), length(-5, 25);
    for (int i = 0; i < count; ++i) {
      const int32_t start = time(random);
      entries.push_back({start, start + length(random), "t" + std::to_string(i)});
    }
    if (round % 2)
      std::sort(entries.begin(), entries.end(),
                [](auto& a, auto& b) { return a.StartTime < b.StartTime; });
    SubtitleStore store;
    for (const auto& e : entries) store.Append(e);
    ReferenceLookup reference(entries);
    std::uniform_int_distribution<int32_t> position(-40, 340);
    for (int i = 0; i < 400; ++i) {
      // Runs of neighbouring positions, as playback asks, mixed with jumps.
      const int32_t p = i % 8 ? position(random) % 3 + 100 + i / 8 : position(random);
      ASSERT_EQ(store.FindSubtitleAt(p, 25), reference.Find(p)) << "round " << round << " p " << p;
    }
  }
}

}  // namespace
}  // namespace captivo
