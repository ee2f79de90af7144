// Entries kept in the order of their starts, whatever the order they came in.
#include "timed_entries.h"

#include <gtest/gtest.h>

#include <string>

namespace tracks {
namespace {

std::string Listed(TimedEntries& entries) {
  entries.Settle();
  std::string out;
  for (size_t i = 0; i < entries.Count(); ++i)
    out += std::to_string(entries[i].start) + ":" + std::string(entries.Bytes(entries[i])) + " ";
  return out;
}

TEST(TimedEntries, BatchesMergeInTheOrderOfTheirStarts) {
  TimedEntries entries;
  entries.Add(50, 60, "e");
  entries.Add(70, 80, "g");
  EXPECT_EQ(Listed(entries), "50:e 70:g ");
  EXPECT_EQ(entries.Order(), 0);
  entries.Add(80, 90, "h");  // after: no new order
  EXPECT_EQ(Listed(entries), "50:e 70:g 80:h ");
  EXPECT_EQ(entries.Order(), 0);
  entries.Add(10, 20, "a");  // a batch from before, in the order read
  entries.Add(30, 40, "c");
  entries.Add(20, 30, "b");
  EXPECT_EQ(Listed(entries), "10:a 20:b 30:c 50:e 70:g 80:h ");
  EXPECT_EQ(entries.Order(), 1);
  entries.Add(50, 55, "f");  // an equal start goes after those there
  EXPECT_EQ(Listed(entries), "10:a 20:b 30:c 50:e 50:f 70:g 80:h ");
  EXPECT_EQ(entries.Order(), 2);
}

TEST(TimedEntries, LookupsByTimeAndByEntry) {
  TimedEntries entries;
  for (int64_t start : {100, 200, 200, 300}) entries.Add(start, -1, std::to_string(start));
  entries.Settle();
  EXPECT_EQ(entries.LastStartingBy(99), -1);
  EXPECT_EQ(entries.LastStartingBy(100), 0);
  EXPECT_EQ(entries.LastStartingBy(250), 2);
  EXPECT_EQ(entries.LastStartingBy(1000), 3);
  for (size_t i = 0; i < entries.Count(); ++i)
    EXPECT_EQ(entries.Find(entries[i]), static_cast<int64_t>(i));
  TimedEntries::Entry missing = entries[1];
  missing.serial = 99;
  EXPECT_EQ(entries.Find(missing), -1);
}

TEST(TimedEntries, BigAndEmptyTextsKeepTheirBytes) {
  TimedEntries entries;
  const std::string big(1 << 20, 'x');
  entries.Add(1, 2, "");
  entries.Add(2, 3, big);
  entries.Add(3, 4, "after");
  entries.Settle();
  EXPECT_EQ(entries.Bytes(entries[0]), "");
  EXPECT_EQ(entries.Bytes(entries[1]), big);
  EXPECT_EQ(entries.Bytes(entries[2]), "after");
}

}  // namespace
}  // namespace tracks
