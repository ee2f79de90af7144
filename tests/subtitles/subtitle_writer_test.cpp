// Save Subtitle As: the entries with the timing in force, as SubRip or WebVTT bytes, and
// the file written whole or not at all.
#include "subtitle_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "file_access.h"
#include "store_lines.h"
#include "test_support.h"

namespace captivo {
namespace {

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (const unsigned char c : bytes) {
    if (c < 0x80) {
      out += char(c);
    } else {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

const SubtitleTiming kAsStored{.movieFrameRate = 25, .rateChoice = RateChoice::Own(25)};

std::string Write(const std::vector<TimedText>& entries, const SubtitleTiming& timing,
                  SubtitleFileType type, const std::optional<SyncCut>& cut = std::nullopt) {
  return FormatSubtitles(entries, timing, cut, type, Latin1ToUtf8);
}

TEST(FormatSubtitles, WritesSubRipAndWebVttWithExactTimes) {
  const std::vector<TimedText> entries = {{{1'234, 3'500}, "Hello\r\nthere"},
                                          {{3'723'004, 3'725'999}, "<i>Later</i>"}};
  EXPECT_EQ(Write(entries, kAsStored, SubtitleFileType::SubRip),
            "1\n00:00:01,234 --> 00:00:03,500\nHello\nthere\n\n"
            "2\n01:02:03,004 --> 01:02:05,999\n<i>Later</i>\n\n");
  EXPECT_EQ(Write(entries, kAsStored, SubtitleFileType::WebVtt),
            "WEBVTT\n\n1\n00:00:01.234 --> 00:00:03.500\nHello\nthere\n\n"
            "2\n01:02:03.004 --> 01:02:05.999\n<i>Later</i>\n\n");
}

TEST(FormatSubtitles, AppliesTheOffsetTheRateAndTheCut) {
  struct Case {
    SubtitleTiming timing;
    std::optional<SyncCut> cut;
    const char* times;  // of the two entries, as written
  } cases[] = {
      // Shown 2 s earlier: a stored 10 s shows at 8 s.
      {{.offsetMilliseconds = 2'000, .movieFrameRate = 25, .rateChoice = RateChoice::Own(25)},
       std::nullopt,
       "00:00:08,000 --> 00:00:09,000|00:01:38,000 --> 00:01:39,500"},
      // Made for 25 fps, shown at 23.976: stored times stretch by 25 / 23.976.
      {{.movieFrameRate = 23.976, .rateChoice = RateChoice::Own(25)},
       std::nullopt,
       "00:00:10,427 --> 00:00:11,470|00:01:44,271 --> 00:01:45,835"},
      // From the second entry on, 30 s later in the file than in the movie.
      {kAsStored, SyncCut{1, 100'000, -30'000},
       "00:00:10,000 --> 00:00:11,000|00:01:10,000 --> 00:01:11,500"},
  };
  for (const Case& c : cases) {
    const std::string out = Write({{{10'000, 11'000}, "a"}, {{100'000, 101'500}, "b"}}, c.timing,
                                  SubtitleFileType::SubRip, c.cut);
    const std::string expected = c.times;
    const size_t bar = expected.find('|');
    EXPECT_EQ(
        out, "1\n" + expected.substr(0, bar) + "\na\n\n2\n" + expected.substr(bar + 1) + "\nb\n\n");
  }
}

TEST(FormatSubtitles, LeavesOutWhatIsNeverShownAndOrdersByTime) {
  const std::vector<TimedText> entries = {
      {{5'000, 6'000}, "third"},
      {{1'000, 1'000}, "no time"},
      {{-3'000, -1'000}, "before the movie"},
      {{-500, 2'000}, "first"},
      {{3'000, 4'000}, "\r\n \r\n"},
      {{3'000, 4'000}, "second\r\n\r\nline"},
  };
  EXPECT_EQ(Write(entries, kAsStored, SubtitleFileType::SubRip),
            "1\n00:00:00,000 --> 00:00:02,000\nfirst\n\n"
            "2\n00:00:03,000 --> 00:00:04,000\nsecond\nline\n\n"
            "3\n00:00:05,000 --> 00:00:06,000\nthird\n\n");
}

TEST(FormatSubtitles, WritesUtf8AndWebVttText) {
  const std::vector<TimedText> entries = {
      {{0, 1'000}, "caf\xE9 <b>&</b> {\\an8}<font color=red>x</font> -->"},
      {{2'000, 3'000}, "d\xC3\xA9j\xC3\xA0"}};
  // Bytes that are not UTF-8 are converted; UTF-8 stays as it is.
  EXPECT_EQ(Write(entries, kAsStored, SubtitleFileType::SubRip),
            "1\n00:00:00,000 --> 00:00:01,000\ncaf\xC3\xA9 <b>&</b> {\\an8}<font "
            "color=red>x</font> -->\n\n"
            "2\n00:00:02,000 --> 00:00:03,000\nd\xC3\xA9j\xC3\xA0\n\n");
  EXPECT_EQ(Write(entries, kAsStored, SubtitleFileType::WebVtt),
            "WEBVTT\n\n1\n00:00:00.000 --> 00:00:01.000\ncaf\xC3\xA9 <b>&amp;</b> "
            "&lt;font color=red&gt;x&lt;/font&gt; --&gt;\n\n"
            "2\n00:00:02.000 --> 00:00:03.000\nd\xC3\xA9j\xC3\xA0\n\n");
}

TEST(IsUtf8, TellsUtf8FromOtherBytes) {
  struct Case {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"plain", true},
      {"\xC3\xA9", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xE9", false},
      {"\xC3", false},
      {"\xC0\xAF", false},          // an overlong "/"
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // past the last code point
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(StoredLineTimes, GivesMillisecondsAsStored) {
  SubtitleStore seconds;
  seconds.StartReading(true);
  seconds.Append(10, 12, "a");
  seconds.Append(20, TTimeSpan::kNoEnd, "b");
  seconds.Append(30, TTimeSpan::kOpenEnd, "c");
  const SubtitleTiming timing{.movieFrameRate = 25, .rateChoice = RateChoice::Own(24)};
  const std::vector<LineTimes> times = StoredLineTimes(seconds, timing, 99'000);
  ASSERT_EQ(times.size(), 3u);
  EXPECT_EQ(times[0].startMs, 10'000);
  EXPECT_EQ(times[0].endMs, 12'000);
  EXPECT_EQ(times[1].endMs, 20'000);  // never shown
  EXPECT_EQ(times[2].endMs, 99'000);  // shown to the movie's end
  EXPECT_FALSE(SyncSubjectOf(seconds, timing).onlyRate);

  SubtitleStore frames;
  frames.StartReading(false);
  frames.Append(240, 480, "a");
  const SyncSubject subject = SyncSubjectOf(frames, timing);
  EXPECT_EQ(subject.lines[0].startMs, 10'000);  // frame 240 at 24 fps
  EXPECT_EQ(subject.lines[0].endMs, 20'000);
  EXPECT_EQ(subject.onlyRate, 24);
  EXPECT_EQ(subject.movieFrameRate, 25);
}

TEST(SubtitleTiming, ShowsStoredTimesAndBack) {
  const SubtitleTiming timing{
      .offsetMilliseconds = 2'980, .movieFrameRate = 23.976, .rateChoice = RateChoice::Own(25)};
  EXPECT_DOUBLE_EQ(timing.ShownAtMs(102'980), 100'000 * 25 / 23.976);
  EXPECT_DOUBLE_EQ(timing.StoredAtMs(timing.ShownAtMs(54'321)), 54'321);
  // Frame 2500 shows at movie frame 2500 - offset frames, whatever the subtitle rate.
  const SubtitleTiming frames{
      .offsetMilliseconds = 1'000, .movieFrameRate = 25, .rateChoice = RateChoice::Own(24)};
  EXPECT_DOUBLE_EQ(frames.ShownAtMs(2'500 * 1000.0 / 24), (2'500 - 24) / 25.0 * 1000);
  EXPECT_EQ(SubtitleTiming{}.ShownAtMs(5), 5);
}

TEST(WriteNewFileAtomically, WritesOnlyWhereNoFileIs) {
  test::TempDir dir;
  const std::string path = (dir.Path() / "out.srt").string();
  EXPECT_EQ(WriteNewFileAtomically(path, "first", 0644), NewFileResult::Written);
  EXPECT_EQ(test::FileContents(path), "first");
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(WriteNewFileAtomically(path, "second", 0644), NewFileResult::Exists);
  EXPECT_EQ(test::FileContents(path), "first");
  const std::string link = (dir.Path() / "link.srt").string();
  ASSERT_EQ(::symlink("nowhere", link.c_str()), 0);
  EXPECT_EQ(WriteNewFileAtomically(link, "x", 0644), NewFileResult::Exists);
  EXPECT_EQ(WriteNewFileAtomically((dir.Path() / "no/folder.srt").string(), "x", 0644),
            NewFileResult::Failed);
  // Nothing but the files asked for is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

}  // namespace
}  // namespace captivo
