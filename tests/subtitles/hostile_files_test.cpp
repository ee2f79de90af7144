// The shared files made to break text readers (numbers past 32 bits, negative times, broken
// UTF-16): each loads to the entries, message box or conversion error it calls for.
#include <gtest/gtest.h>

#include <map>

#include "errors.h"
#include "subtitle_loader.h"
#include "test_support.h"

namespace captivo {
namespace {

using test::Entry;
using test::RecordedMessage;

struct Outcome {
  SubtitleFormat format;
  std::vector<Entry> entries;
  std::vector<RecordedMessage> messages = {};
  std::string error = {};
};

const std::map<std::string, Outcome>& Expected() {
  using F = SubtitleFormat;
  constexpr int32_t kMax = INT32_MAX, kMin = INT32_MIN;
  const std::string replacement = "\xEF\xBF\xBD";
  static const std::map<std::string, Outcome> expected = {
      // Ctrl-Z ends the file right after the timing line: the block has no text.
      {"crlf_mix.srt", {F::SubRip, {}}},
      {"frame_huge.sub",
       {F::Frame, {{kMax, kMax, "max"}, {0, kMax, "all"}, {kMax - 1, -1, "noend"}}}},
      {"frame_noend_negative.sub", {F::Frame, {{5, 1, "a"}, {1, 3, "b"}, {3, -1, "c"}}}},
      {"frame_overflow.sub",
       {F::Frame, {{1, 2, "ok"}}, {}, "'2147483648' is not a valid integer value"}},
      {"srt_huge_hours.srt",
       {F::SubRip, {{kMax, kMax, "max"}}, {}, "'596524:0:0' is not a valid integer value"}},
      {"srt_neg.srt",
       {F::SubRip, {}, {{"Error", "Subtitle file error", MessageIcon::Information}}}},
      {"ssa_hex.ssa", {F::Ssa, {}, {}, "'$7fffffff:0:0.00' is not a valid integer value"}},
      {"ssa_min.ssa",
       {F::Ssa, {{kMin, 0, "minus"}}, {}, "'-596523:-14:-9.0' is not a valid integer value"}},
      {"subviewer_nocomma.sub",
       {F::SubViewer, {}, {{"Error", "Subtitle File Error", MessageIcon::Error}}}},
      {"subviewer_noend.sub", {F::SubViewer, {}}},  // a timing line without its text line
      {"timecode_huge.txt", {F::TimeCode, {{1, kMax, "a"}, {kMax, kMin, "b"}, {kMin, kMax, "c"}}}},
      {"u16_lone_high_end.srt", {F::SubRip, {{1, 2, replacement}}}},
      {"u16_lone_low.srt", {F::SubRip, {{1, 2, replacement + "X"}}}},
      {"u16_only_bom.srt",
       {F::Unknown, {}, {{"Error", UnknownFormatMessage(), MessageIcon::Information}}}},
      // The pair stands where a conversion in blocks of 2048 bytes would split it: whole.
      {"u16_split_pair.srt", {F::SubRip, {{1, 2, std::string(1001, 'a') + "\xF0\x9F\x98\x80"}}}},
      {"u16be_odd.srt", {F::SubRip, {{1, 2, "z"}}}},  // the odd last byte is dropped
  };
  return expected;
}

TEST(HostileTextFiles, EachLoadsToWhatItCallsFor) {
  const std::filesystem::path folder = test::TestDataFolder("hostile/text");
  if (folder.empty()) GTEST_SKIP() << "shared test data not present";
  size_t seen = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string name = file.path().filename().string();
    const auto expected = Expected().find(name);
    if (expected == Expected().end()) {
      ADD_FAILURE() << "no expected outcome for " << name;
      continue;
    }
    ++seen;
    const Outcome& outcome = expected->second;
    SubtitleStore store;
    test::RecordingSink sink;
    std::string error;
    EXPECT_EQ(DetectTextFormat(SubtitleText::FromFile(file.path().string()).View()), outcome.format)
        << name;
    try {
      LoadTextSubtitle(file.path().string(), store, sink);
    } catch (const ConversionError& e) {
      error = e.what();
    }
    EXPECT_EQ(test::EntriesOf(store), outcome.entries) << name;
    EXPECT_EQ(sink.messages, outcome.messages) << name;
    EXPECT_EQ(error, outcome.error) << name;
  }
  EXPECT_EQ(seen, Expected().size()) << "an expected file is missing from " << folder;
}

}  // namespace
}  // namespace captivo
