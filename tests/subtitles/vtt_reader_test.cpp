// WebVTT files as the user would pick them: detection, reader and store together, with
// the exact milliseconds of every cue.
#include <gtest/gtest.h>

#include "readers.h"
#include "subtitle_loader.h"
#include "test_support.h"

namespace captivo {
namespace {

using Cue = test::ExactEntry;

struct VttCase {
  const char* name;
  std::string bytes;
  SubtitleFormat format;
  std::vector<Cue> cues;
  size_t messages = 0;
};

void PrintTo(const VttCase& c, std::ostream* out) {
  *out << c.name;
}

class VttCaseTest : public ::testing::TestWithParam<VttCase> {};

TEST_P(VttCaseTest, LoadsAsExpected) {
  const VttCase& c = GetParam();
  SubtitleStore store;
  test::RecordingSink sink;
  EXPECT_EQ(LoadTextSubtitleBytes(c.bytes, store, sink), c.format);
  if (c.format == SubtitleFormat::WebVtt) {
    EXPECT_TRUE(store.TimesInSeconds);
    EXPECT_TRUE(store.LooksUpExactTimes());
  }
  EXPECT_EQ(test::ExactEntriesOf(store), c.cues);
  EXPECT_EQ(sink.messages.size(), c.messages);
}

constexpr auto kVtt = SubtitleFormat::WebVtt;

INSTANTIATE_TEST_SUITE_P(
    WebVtt, VttCaseTest,
    ::testing::Values(
        VttCase{"minutes and hours forms",
                "WEBVTT\n\n00:01.500 --> 00:02.250\nHi\n\n01:00:00.001 --> 101:00:00.000\nBye\n",
                kVtt,
                {{1500, 2250, "Hi"}, {3600001, 363600000, "Bye"}}},
        VttCase{"signature with text, header lines, BOM and CR LF",
                "\xEF\xBB\xBFWEBVTT - a title\r\nKind: captions\r\n\r\n"
                "00:00:01.000 --> 00:00:02.000\r\nOne\r\n",
                kVtt,
                {{1000, 2000, "One"}}},
        VttCase{"identifiers and settings",
                "WEBVTT\n\n1\n00:01.000 --> 00:02.000 align:start position:10%\nA\n\n"
                "intro\n00:03.000\t-->\t00:04.000\nB\n",
                kVtt,
                {{1000, 2000, "A"}, {3000, 4000, "B"}}},
        VttCase{"NOTE, STYLE and REGION blocks are skipped",
                "WEBVTT\n\nSTYLE\n::cue { color: red }\n\nREGION\nid:r1 width:40%\n\n"
                "NOTE a comment\nover two lines\n\n00:01.000 --> 00:02.000\nA\n\nNOTE end\n",
                kVtt,
                {{1000, 2000, "A"}}},
        VttCase{"tags removed and references decoded, lines kept",
                "WEBVTT\n\n00:01.000 --> 00:02.000\n<v Roger>Hi &amp; <i>bye</i></v>\n"
                "<c.loud><b>A</b> &lt;<u>b</u>&gt;</c> <ruby>漢<rt>kan</rt></ruby>\n"
                "x<00:01.500>y &#233;&#xE9;&lrm;\n",
                kVtt,
                {{1000, 2000, "Hi & bye\r\nA <b> 漢kan\r\nxy \xC3\xA9\xC3\xA9\xE2\x80\x8E"}}},
        VttCase{"a bad cue is skipped, the rest kept",
                "WEBVTT\n\n00:01.000 --> 00:02.00\nshort millis\n\n"
                "00:60.000 --> 00:61.000\nseconds past 59\n\n"
                "1:02.000 --> 1:03.000\none-digit minutes\n\n"
                "00:03.000 -> 00:04.000\nno arrow: not a cue\n\n"
                "00:05.000 --> 00:06.000\nkept\n",
                kVtt,
                {{5000, 6000, "kept"}}},
        VttCase{"a line with an arrow starts the next cue",
                "WEBVTT\n00:01.000 --> 00:02.000\nA\n00:03.000 --> 00:04.000\nB\n",
                kVtt,
                {{1000, 2000, "A"}, {3000, 4000, "B"}}},
        VttCase{"a cue without text is kept empty",
                "WEBVTT\n\n00:01.000 --> 00:02.000\n\n00:03.000 --> 00:04.000",
                kVtt,
                {{1000, 2000, ""}, {3000, 4000, ""}}},
        VttCase{"hours too large for the store",
                "WEBVTT\n\n99999999999:00:00.000 --> 99999999999:00:01.000\nx\n\n"
                "00:01.000 --> 00:02.000\ny\n",
                kVtt,
                {{1000, 2000, "y"}}},
        VttCase{"signature followed by other text is not WebVTT",
                "WEBVTTX\n\n00:01.000 --> 00:02.000\nA\n",
                SubtitleFormat::Unknown,
                {},
                1},
        VttCase{"without the signature it is not WebVTT",
                "intro\n00:01.000 --> 00:02.000\nA\n",
                SubtitleFormat::Unknown,
                {},
                1},
        VttCase{"signature not on the first line",
                "\n  WEBVTT\n\n00:01.000 --> 00:02.000\nA\n",
                kVtt,
                {},
                1}));

}  // namespace
}  // namespace captivo
