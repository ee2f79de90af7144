// Each case is a whole file as the user would pick it: detection, reader and store together.
#include <gtest/gtest.h>

#include "errors.h"
#include "readers.h"
#include "subtitle_loader.h"
#include "test_support.h"

namespace captivo {
namespace {

using test::Entry;
using test::RecordedMessage;
constexpr int32_t kOpen = TTimeSpan::kOpenEnd;
const RecordedMessage kFileError{"Error", "Subtitle file error", MessageIcon::Information};
const RecordedMessage kSubViewerError{"Error", "Subtitle File Error", MessageIcon::Error};
const RecordedMessage kUnknown{"Error", UnknownFormatMessage(), MessageIcon::Information};

struct Case {
  const char* name;
  std::string bytes;
  SubtitleFormat format;
  std::vector<Entry> entries;
  std::vector<RecordedMessage> messages = {};
  std::string error = {};  // the raised conversion error, if any
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class ReaderCase : public ::testing::TestWithParam<Case> {};

TEST_P(ReaderCase, LoadsAsExpected) {
  const Case& c = GetParam();
  SubtitleStore store;
  test::RecordingSink sink;
  EXPECT_EQ(DetectTextFormat(c.bytes), c.format);
  std::string error;
  try {
    EXPECT_EQ(LoadTextSubtitleBytes(c.bytes, store, sink), c.format);
  } catch (const ConversionError& e) {
    error = e.what();
  }
  EXPECT_EQ(test::EntriesOf(store), c.entries);
  EXPECT_EQ(sink.messages, c.messages);
  EXPECT_EQ(error, c.error);
  if (c.format != SubtitleFormat::Unknown) {
    EXPECT_EQ(store.TimesInSeconds, c.format != SubtitleFormat::Frame);
  }
}

std::string NotAnInteger(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

INSTANTIATE_TEST_SUITE_P(
    Detection, ReaderCase,
    ::testing::Values(
        Case{"empty file", "", SubtitleFormat::Unknown, {}, {kUnknown}},
        Case{"blank lines only", " \r\n\t\r\n\n", SubtitleFormat::Unknown, {}, {kUnknown}},
        Case{"script info with blanks around",
             " \t[Script Info]\t\r\nDialogue: 0,0:00:01.50,0:00:04.00,Default,,0000,0000,0000,,"
             "Hello, world\\NSecond",
             SubtitleFormat::Ssa,
             {{1, 4, "Hello, world\r\nSecond"}}},
        Case{"script info in lower case",
             "[script info]\r\n",
             SubtitleFormat::Unknown,
             {},
             {kUnknown}},
        Case{"title with a title", "Title: My film\r\n", SubtitleFormat::Unknown, {}, {kUnknown}},
        Case{"bare title line",
             "Title:\r\nDialogue: 0,0:00:02.00,0:00:03.00,D,,0,0,0,,t",
             SubtitleFormat::Ssa,
             {{2, 3, "t"}}},
        Case{"single leading zero", "0:00:05:text\r\n", SubtitleFormat::Unknown, {}, {kUnknown}},
        Case{"number with trailing blanks",
             "1  \r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n",
             SubtitleFormat::SubRip,
             {{1, 2, "Hi"}}},
        Case{"UTF-8 mark before SubRip",
             "\xEF\xBB\xBF"
             "1\n00:00:01,000 --> 00:00:02,000\nHi\n",
             SubtitleFormat::SubRip,
             {{1, 2, "Hi"}}},
        Case{"information header", "[INFORMATION]\r\n", SubtitleFormat::SubViewer, {}},
        Case{"prose",
             "Content-Type: text/plain\r\n\r\n{1}{1}23.976\r\n",
             SubtitleFormat::Unknown,
             {},
             {kUnknown}}));

INSTANTIATE_TEST_SUITE_P(
    FrameBased, ReaderCase,
    ::testing::Values(
        Case{"two lines",
             "{100}{200}Hello|World\r\n",
             SubtitleFormat::Frame,
             {{100, 200, "Hello\r\nWorld"}}},
        Case{"empty end takes the next start",
             "{100}{}Hello\r\n{300}{400}Bye\r\n",
             SubtitleFormat::Frame,
             {{100, 300, "Hello"}, {300, 400, "Bye"}}},
        Case{"no end field", "{100}Hello", SubtitleFormat::Frame, {{100, -1, "Hello"}}},
        Case{"frame-rate line is a subtitle",
             "{1}{1}23.976\n{10}{20}x\n",
             SubtitleFormat::Frame,
             {{1, 1, "23.976"}, {10, 20, "x"}}},
        Case{"style codes stay",
             "{100}{200}{y:i}Hello",
             SubtitleFormat::Frame,
             {{100, 200, "{y:i}Hello"}}},
        Case{"text before the braces",
             "{1}{2}a\r\nx{100}{200}y\r\n",
             SubtitleFormat::Frame,
             {{1, 2, "a"}, {100, 200, "y"}}},
        Case{"line without braces",
             "{1}{2}a\r\nno braces\r\n{3}{4}b\r\n",
             SubtitleFormat::Frame,
             {{1, 2, "a"}},
             {kFileError}},
        Case{"blank in the start field", "{ 1}{2}x\r\n", SubtitleFormat::Frame, {}, {kFileError}},
        Case{"bad end field", "{1}{2x0}x\r\n", SubtitleFormat::Frame, {}, {kFileError}},
        Case{"ends are not filled after a failure",
             "{10}{}a\r\n{20}{}b\r\n{x}\r\n",
             SubtitleFormat::Frame,
             {{10, -1, "a"}, {20, -1, "b"}},
             {kFileError}},
        Case{"negative frames fail", "{-20}{-10}x\r\n", SubtitleFormat::Frame, {}, {kFileError}},
        Case{"blank lines are ignored",
             "\r\n{1}{2}a\r\n\r\n \r\n{3}{}b\r\n{5}{6}c\r\n",
             SubtitleFormat::Frame,
             {{1, 2, "a"}, {3, 5, "b"}, {5, 6, "c"}}},
        Case{"frame beyond 32 bits",
             "{1}{2}a\r\n{99999999999}{5}b\r\n",
             SubtitleFormat::Frame,
             {{1, 2, "a"}},
             {},
             NotAnInteger("99999999999")},
        Case{"end before start is kept", "{50}{40}odd\n", SubtitleFormat::Frame, {{50, 40, "odd"}}},
        Case{"LF line ends",
             "{1}{2}a\n{3}{4}b\n",
             SubtitleFormat::Frame,
             {{1, 2, "a"}, {3, 4, "b"}}},
        Case{"only two brace pairs count",
             "{1}{2}{3}{4}|",
             SubtitleFormat::Frame,
             {{1, 2, "{3}{4}\r\n"}}}));

INSTANTIATE_TEST_SUITE_P(
    SubRip, ReaderCase,
    ::testing::Values(
        Case{"block",
             "12\r\n00:01:02,500 --> 00:01:04,000\r\nline one\r\nline two\r\n",
             SubtitleFormat::SubRip,
             {{62, 64, "line one\r\nline two"}}},
        Case{"fractions dropped, coordinates ignored",
             "1\n00:00:01,999 --> 00:00:03,001  X1:10 X2:20 Y1:5 Y2:9\nx\n",
             SubtitleFormat::SubRip,
             {{1, 3, "x"}}},
        Case{"points instead of commas",
             "1\n00:00:01.500 --> 00:00:02.500\ntext\n",
             SubtitleFormat::SubRip,
             {},
             {kFileError}},
        Case{"blank line inside the text",
             "1\n00:00:01,000 --> 00:00:02,000\na\n\nb\n\n2\n00:00:03,000 --> 00:00:04,000\nc\n",
             SubtitleFormat::SubRip,
             {{1, 2, "a\r\nb"}, {3, 4, "c"}}},
        Case{"a year is text",
             "1\n00:00:01,000 --> 00:00:02,000\nIn\n2012\n\n2\n00:00:03,000 --> 00:00:04,000\nc\n",
             SubtitleFormat::SubRip,
             {{1, 2, "In\r\n2012"}, {3, 4, "c"}}},
        Case{"a count as the only text",
             "1\n00:00:01,000 --> 00:00:02,000\n3\n\n2\n00:00:03,000 --> 00:00:04,000\nc\n",
             SubtitleFormat::SubRip,
             {{1, 2, "3"}, {3, 4, "c"}}},
        Case{"missing text keeps the next block",
             "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nc\n",
             SubtitleFormat::SubRip,
             {{1, 2, ""}, {3, 4, "c"}}},
        Case{"a damaged arrow loses its block, not the text before",
             "1\n00:00:01,000 --> 00:00:02,000\na\n\n2\n00:00:03,000 - > 00:00:04,000\nb\n\n"
             "3\n00:00:05,000 --> 00:00:06,000\nc\n",
             SubtitleFormat::SubRip,
             {{1, 2, "a"}, {5, 6, "c"}}},
        Case{"a timing line without an arrow loses its block",
             "1\n00:00:01,000 --> 00:00:02,000\na\n2\n0:00:03,000 0:00:04,000\nb\n",
             SubtitleFormat::SubRip,
             {{1, 2, "a"}}},
        Case{"digits before a line with a colon later on are text",
             "1\n00:00:01,000 --> 00:00:02,000\nIn\n2012\nat 10:30\n",
             SubtitleFormat::SubRip,
             {{1, 2, "In\r\n2012\r\nat 10:30"}}},
        Case{"digits before the first index are dropped",
             "7\n8\n00:00:01,000 --> 00:00:02,000\nx\n",
             SubtitleFormat::SubRip,
             {{1, 2, "x"}}},
        Case{
            "timing line last", "1\n00:00:01,000 --> 00:00:02,000\n\n", SubtitleFormat::SubRip, {}},
        Case{"no leading zeros",
             "1\n1:2:3,000 --> 1:2:4,000\nt\n",
             SubtitleFormat::SubRip,
             {{3723, 3724, "t"}}},
        Case{"negative hour",
             "1\n-1:00:00,000 --> 00:00:01,000\nt\n",
             SubtitleFormat::SubRip,
             {},
             {kFileError}},
        Case{"error keeps the entries before",
             "1\n00:00:01,000 --> 00:00:02,000\na\n2\n00:00:03 --> 00:00:04,000\nb\n",
             SubtitleFormat::SubRip,
             {{1, 2, "a"}},
             {kFileError}},
        Case{"hours beyond 32 bits",
             "1\n99999999999:00:00,000 --> 00:00:01,000\nt\n",
             SubtitleFormat::SubRip,
             {},
             {},
             NotAnInteger("99999999999")},
        Case{"total beyond 32 bits",
             "1\n596524:00:00,000 --> 00:00:01,000\nt\n",
             SubtitleFormat::SubRip,
             {},
             {},
             NotAnInteger("596524:00:00")},
        Case{"hours of ten million digits",
             "1\n" + std::string(10 << 20, '1') + ":00:00,000 --> 00:00:01,000\nt\n",
             SubtitleFormat::SubRip,
             {},
             {},
             NotAnInteger(std::string(100, '1') + "...")},
        Case{"CR line ends",
             "1\r00:00:05,000 --> 00:00:06,000\rx\r",
             SubtitleFormat::SubRip,
             {{5, 6, "x"}}}));

INSTANTIATE_TEST_SUITE_P(
    SubStationAlpha, ReaderCase,
    ::testing::Values(Case{"header, comments and later sections",
                           "[Script Info]\nTitle: x\n[Events]\nFormat: Layer, Start, End\n"
                           "Comment: 0,0:00:00.00,0:00:09.00,D,,0,0,0,,before\n"
                           "Dialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,one\\ntwo\n"
                           "Comment: 0,0:00:03.00,0:00:04.00,D,,0,0,0,,after\n"
                           "Dialogue: Marked=0,0:00:05.99,0:00:07.00,D,,0,0,0,,{\\i1}a,b{\\i0}\n\n"
                           "[Fonts]\nfontname: x.ttf\n",
                           SubtitleFormat::Ssa,
                           {{1, 2, "one\r\ntwo"}, {5, 7, "{\\i1}a,b{\\i0}"}}},
                      Case{"out of order stays",
                           "[Script Info]\nDialogue: 0,0:00:09.00,0:00:10.00,D,,0,0,0,,late\n"
                           "Dialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,early",
                           SubtitleFormat::Ssa,
                           {{9, 10, "late"}, {1, 2, "early"}}},
                      Case{"no events", "[Script Info]\nTitle: x\n", SubtitleFormat::Ssa, {}},
                      Case{"too few fields",
                           "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,a\n"
                           "Dialogue: 0,0:00:03.00\n",
                           SubtitleFormat::Ssa,
                           {{1, 2, "a"}},
                           {},
                           NotAnInteger("")},
                      Case{"what is left after missing fields is the text",
                           "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,Default",
                           SubtitleFormat::Ssa,
                           {{1, 2, "Default"}}}));

INSTANTIATE_TEST_SUITE_P(
    SubViewer, ReaderCase,
    ::testing::Values(
        Case{"blocks",
             "[INFORMATION]\n[TITLE]x\n[END INFORMATION]\n[SUBTITLE]\n[COLF]&HFFFFFF\n\n"
             "00:00:01.00,00:00:03.00\nFirst[BR]second\n\n\n00:00:04.00,00:00:05.00\nThird\n",
             SubtitleFormat::SubViewer,
             {{1, 3, "First\r\nsecond"}, {4, 5, "Third"}}},
        Case{"blank text line",
             "[INFORMATION]\n00:00:01.00,00:00:03.00\n\nText line\n"
             "00:00:05.00,00:00:06.00\nx\n",
             SubtitleFormat::SubViewer,
             {{1, 3, ""}},
             {kSubViewerError}},
        Case{"last timing line has no text",
             "[INFORMATION]\n00:00:01.00,00:00:03.00\na\n"
             "00:00:07.00,00:00:08.00",
             SubtitleFormat::SubViewer,
             {{1, 3, "a"}}},
        Case{"timing that is not a time",
             "[INFORMATION]\n00:00:01.00,later\na\n",
             SubtitleFormat::SubViewer,
             {},
             {},
             NotAnInteger("")},
        Case{"negative times are header",
             "[INFORMATION]\n-00:00:06.84,-00:00:02.85\nx\n\n"
             "00:00:00.95,00:00:03.36\ny\n",
             SubtitleFormat::SubViewer,
             {{0, 3, "y"}}}));

INSTANTIATE_TEST_SUITE_P(
    TimeCode, ReaderCase,
    ::testing::Values(Case{"each lasts until the next",
                           "00:00:05:Hello|there\r\n00:00:09:Bye\r\n",
                           SubtitleFormat::TimeCode,
                           {{5, 9, "Hello\r\nthere"}, {9, kOpen, "Bye"}}},
                      Case{"time only clears",
                           "00:00:05:a\n00:00:12\n00:00:15:\n00:00:20:b:c\n",
                           SubtitleFormat::TimeCode,
                           {{5, 12, "a"}, {12, 15, ""}, {15, 20, ""}, {20, kOpen, "b:c"}}},
                      Case{"blank lines are skipped",
                           "00:00:01:a\n\n  \n00:00:02:b\n\n",
                           SubtitleFormat::TimeCode,
                           {{1, 2, "a"}, {2, kOpen, "b"}}},
                      Case{"a bad line leaves the last end unknown",
                           "00:00:05:a\n00:00:09:b\ngarbage\n00:00:20:c\n",
                           SubtitleFormat::TimeCode,
                           {{5, 9, "a"}, {9, -1, "b"}},
                           {},
                           NotAnInteger("")},
                      Case{"hour beyond 32 bits",
                           "00:00:01:a\n99999999999:00:00:b\n",
                           SubtitleFormat::TimeCode,
                           {{1, -1, "a"}},
                           {},
                           NotAnInteger("99999999999")},
                      Case{"hexadecimal beyond 32 bits",
                           "00:00:01:a\n00:00:-$FFFFFFFF:b\n",
                           SubtitleFormat::TimeCode,
                           {{1, -1, "a"}},
                           {},
                           NotAnInteger("-$FFFFFFFF")}));

// The exact times of every entry, in milliseconds, beside the whole seconds that stay as
// they were: the same fields with their fractions.
TEST(ExactTimes, EachTimeBasedReaderKeepsTheFractionsOfItsFile) {
  struct ExactEntry {
    int64_t startMs, endMs;
    bool operator==(const ExactEntry&) const = default;
  };
  constexpr int64_t kOpenMs = int64_t{TTimeSpan::kOpenEnd} * 1000;
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<ExactEntry> exact;
  } cases[] = {
      {"SubRip milliseconds",
       "1\n00:00:01,999 --> 00:00:03,001  X1:10\nx\n\n2\n00:01:02,5 --> 00:01:04 , 070\ny\n",
       {{1999, 3001}, {62500, 64070}}},
      {"SubRip without fractions", "1\n00:00:01,000 --> 00:00:02,000\nx\n", {{1000, 2000}}},
      {"SubStation centiseconds",
       "[Script Info]\nDialogue: 0,0:00:01.50,0:00:04.05,D,,0,0,0,,a\n"
       "Dialogue: 0,0:00:05,0:00:-1.25,D,,0,0,0,,b\n",
       {{1500, 4050}, {5000, -1250}}},
      {"SubViewer centiseconds",
       "[INFORMATION]\n00:00:01.25,00:00:03.99\na\n00:00:04,00:00:05.5\nb\n",
       {{1250, 3990}, {4000, 5500}}},
      {"time-code whole seconds only",
       "00:00:05:a\n00:00:09.75:b\n",
       {{5000, 9000}, {9000, kOpenMs}}},
  };
  for (const Case& c : cases) {
    SubtitleStore store;
    test::RecordingSink sink;
    LoadTextSubtitleBytes(c.bytes, store, sink);
    std::vector<ExactEntry> exact;
    for (size_t i = 0; i < store.Count(); ++i) {
      exact.push_back({store.ExactStartMs(i), store.ExactEndMs(i)});
      EXPECT_EQ(store.StartTime(i), FileTime::FromMilliseconds(exact.back().startMs).whole)
          << c.name << " " << i;
    }
    EXPECT_EQ(exact, c.exact) << c.name;
    EXPECT_TRUE(sink.messages.empty()) << c.name;
  }
}

TEST(Loader, UnknownFormatKeepsThePreviousSubtitlesAndUnit) {
  SubtitleStore store;
  test::RecordingSink sink;
  LoadTextSubtitleBytes("1\n00:00:02,000 --> 00:00:03,000\nkept\n", store, sink);
  LoadTextSubtitleBytes("What is this?\n", store, sink);
  EXPECT_TRUE(store.TimesInSeconds);
  EXPECT_EQ(store.FindSubtitleAt(60, 25), "kept");
  test::TempDir dir;
  EXPECT_THROW(LoadTextSubtitle((dir.Path() / "gone.srt").string(), store, sink), FileError);
  EXPECT_TRUE(store.TimesInSeconds);
  EXPECT_EQ(store.FindSubtitleAt(60, 25), "kept");
  EXPECT_EQ(sink.messages, (std::vector<RecordedMessage>{kUnknown}));
}

TEST(Loader, ReadsAFileOnceAndNamesOneThatCannotBeOpened) {
  test::TempDir dir;
  SubtitleStore store;
  test::RecordingSink sink;
  EXPECT_EQ(LoadTextSubtitle(dir.Write("a.sub", "{1}{2}a\r\n{3}{4}b"), store, sink),
            SubtitleFormat::Frame);
  EXPECT_EQ(test::EntriesOf(store), (std::vector<Entry>{{1, 2, "a"}, {3, 4, "b"}}));
  for (const std::string& path : {(dir.Path() / "missing.srt").string(), dir.Path().string()}) {
    try {
      LoadTextSubtitle(path, store, sink);
      ADD_FAILURE() << path;
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), "Cannot open file " + path);
    }
  }
  EXPECT_EQ(store.Count(), 2u);  // left alone
}

}  // namespace
}  // namespace captivo
