// Where reading goes: runs from the start, from a time asked for, back for what they
// skipped, and never the same packet twice.
#include "read_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tracks {
namespace {

using Verdict = ReadPlan::Verdict;

// A file of packets at these times, read as a reader reads it: seeking lands on the
// packet at or before the time sought (as a key frame would), and runs go as the plan says.
// Packets are told apart by their place in the file, which `kept` holds.
class PlannedReading {
 public:
  explicit PlannedReading(std::vector<int64_t> times) : times_(std::move(times)) {}

  // Reads `count` packets (or to the end of the file), then stops.
  void Read(size_t count) {
    for (; count > 0 && plan.RunActive(); --count) {
      if (next_ >= times_.size()) {
        plan.EndOfFile();
        return;
      }
      const size_t packet = next_++;
      switch (plan.Packet(times_[packet])) {
        case Verdict::Keep:
          kept.push_back(packet);
          break;
        case Verdict::KeepIfNew:
          if (std::find(kept.begin(), kept.end(), packet) == kept.end()) kept.push_back(packet);
          break;
        case Verdict::Jump:
          SeekTo(plan.RunStart());
          break;
        case Verdict::Drop:
          break;
      }
    }
  }
  void ReadToTheEnd() {
    for (;;) {
      while (plan.RunActive()) Read(1000);
      if (!plan.StartRun()) return;
      SeekTo(plan.RunStart());
    }
  }
  void ReadFrom(int64_t ms) {
    if (plan.StartRun(ms)) SeekTo(plan.RunStart());
  }
  void SeekTo(int64_t ms) {
    // The first of the packets at the latest time at or before `ms`, or the first.
    const auto after = std::upper_bound(times_.begin(), times_.end(), ms);
    next_ = after == times_.begin() ? 0 : static_cast<size_t>(after - times_.begin() - 1);
    while (next_ > 0 && times_[next_ - 1] == times_[next_]) --next_;
  }
  // The times of the packets kept, in the order kept.
  std::vector<int64_t> KeptTimes() const {
    std::vector<int64_t> out;
    for (size_t packet : kept) out.push_back(times_[packet]);
    return out;
  }
  std::vector<size_t> Sorted() const {
    auto sorted = kept;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
  }

  ReadPlan plan;
  std::vector<size_t> kept;

 private:
  std::vector<int64_t> times_;
  size_t next_ = 0;
};

std::vector<int64_t> Times(int64_t count, int64_t step) {
  std::vector<int64_t> times;
  for (int64_t i = 0; i < count; ++i) times.push_back(i * step);
  return times;
}

TEST(ReadPlan, AFileReadFromItsStartIsReadOnce) {
  PlannedReading reading(Times(50, 1000));
  reading.ReadToTheEnd();
  EXPECT_EQ(reading.KeptTimes(), Times(50, 1000));
  EXPECT_TRUE(reading.plan.Complete());
}

TEST(ReadPlan, EveryPacketIsKeptOnceWhateverTheRequests) {
  const std::vector<int64_t> times = {0,     0,     1000,  2500,  2500,  4000,  9000,
                                      12000, 15000, 15000, 15001, 30000, 31000, 45000};
  // Each case: packets read, then a request, ..., then reading to the end.
  struct Step {
    size_t read;
    int64_t from;
  };
  const std::vector<std::vector<Step>> cases = {
      {{0, 12000}},
      {{0, 30000}, {2, 1000}},
      {{3, 15000}, {1, 0}, {1, 45000}, {1, 2500}},
      {{0, 15001}, {0, 15000}, {0, 14999}},
      {{5, 2500}},   // inside what was read
      {{0, 50000}},  // after the last packet
      {{1, ReadPlan::kMovieStart}, {2, 31000}, {20, 9000}},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    PlannedReading reading(times);
    for (const Step& step : cases[c]) {
      reading.Read(step.read);
      reading.ReadFrom(step.from);
    }
    reading.ReadToTheEnd();
    std::vector<size_t> every(times.size());
    for (size_t i = 0; i < every.size(); ++i) every[i] = i;
    EXPECT_EQ(reading.Sorted(), every) << "case " << c;
    EXPECT_TRUE(reading.plan.Complete()) << "case " << c;
  }
}

TEST(ReadPlan, ARequestIsServedBeforeWhatItSkipped) {
  PlannedReading reading(Times(100, 1000));
  reading.ReadFrom(60000);
  reading.Read(5);
  EXPECT_EQ(reading.KeptTimes(), (std::vector<int64_t>{60000, 61000, 62000, 63000, 64000}));
  EXPECT_TRUE(reading.plan.Covers(60000, 64000));
  EXPECT_FALSE(reading.plan.Covers(59000, 61000));
  EXPECT_FALSE(reading.plan.Covers(64000, 66000));
  // To the end, then back to the start for what was skipped, and no further than that.
  reading.ReadToTheEnd();
  EXPECT_EQ(reading.kept.size(), 100u);
  EXPECT_EQ(reading.KeptTimes()[40], 0);
  EXPECT_EQ(reading.KeptTimes().back(), 59000);
}

TEST(ReadPlan, ARunStopsWhereItMeetsWhatWasRead) {
  PlannedReading reading(Times(10, 1000));
  reading.ReadFrom(5000);
  reading.ReadToTheEnd();  // 5 to 9, then 0 to 4: the packet at 5 s ends that run
  EXPECT_EQ(reading.KeptTimes(),
            (std::vector<int64_t>{5000, 6000, 7000, 8000, 9000, 0, 1000, 2000, 3000, 4000}));
}

TEST(ReadPlan, ARunThatCannotGoOnGivesUpItsGapOnly) {
  PlannedReading reading(Times(10, 1000));
  reading.ReadFrom(5000);
  reading.Read(100);  // 5 to 9, the end
  ASSERT_TRUE(reading.plan.StartRun());
  EXPECT_EQ(reading.plan.RunStart(), ReadPlan::kMovieStart);
  reading.plan.AbandonRun();  // its seek failed
  EXPECT_TRUE(reading.plan.Complete());
  EXPECT_FALSE(reading.plan.StartRun());
}

TEST(ReadPlan, TimesBeyondTheEndsAreHeld) {
  ReadPlan plan;
  EXPECT_EQ(plan.Packet(INT64_MIN), Verdict::Keep);
  EXPECT_EQ(plan.Packet(INT64_MAX), Verdict::Keep);
  plan.EndOfFile();
  EXPECT_TRUE(plan.Complete());
}

}  // namespace
}  // namespace tracks
