// WebVTT files of a public parser test suite (tests/subtitles/data/webvtt), read with
// the cues that suite expects of them.
#include <gtest/gtest.h>

#include "subtitle_loader.h"
#include "test_support.h"

namespace captivo {
namespace {

using ExpectedCue = test::ExactEntry;

struct SuiteFile {
  const char* name;
  std::vector<ExpectedCue> cues;
};

void PrintTo(const SuiteFile& f, std::ostream* out) {
  *out << f.name;
}

class VttSuiteFileTest : public ::testing::TestWithParam<SuiteFile> {};

TEST_P(VttSuiteFileTest, GivesTheExpectedCues) {
  const SuiteFile& f = GetParam();
  SubtitleStore store;
  test::RecordingSink sink;
  EXPECT_EQ(LoadTextSubtitle(std::string(CAPTIVO_VTT_DATA_DIR "/") + f.name, store, sink),
            SubtitleFormat::WebVtt);
  EXPECT_EQ(test::ExactEntriesOf(store), f.cues);
  EXPECT_TRUE(sink.messages.empty());
}

// `count` cues text1, text2, ... each from 0 to 1 s.
std::vector<ExpectedCue> FirstSecondCues(int count) {
  std::vector<ExpectedCue> cues;
  for (int i = 1; i <= count; ++i) cues.push_back({0, 1000, "text" + std::to_string(i)});
  return cues;
}

INSTANTIATE_TEST_SUITE_P(ParserSuite, VttSuiteFileTest,
                         ::testing::Values(SuiteFile{"arrows.vtt", FirstSecondCues(6)},
                                           SuiteFile{"ids.vtt", FirstSecondCues(5)},
                                           SuiteFile{"timings-omitted-hours.vtt",
                                                     FirstSecondCues(3)},
                                           SuiteFile{"timings-too-short.vtt", FirstSecondCues(2)},
                                           SuiteFile{"timings-negative.vtt",
                                                     {{0, 0, "text1"},
                                                      {1000, 999, "text2"},
                                                      {60000, 59999, "text3"},
                                                      {3600000, 3599999, "text4"}}}));

}  // namespace
}  // namespace captivo
