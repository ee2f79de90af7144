// The real-world files of the shared test data: each loads with its format and a
// plausible count, and none crashes.
#include <gtest/gtest.h>

#include "errors.h"
#include "subtitle_loader.h"
#include "test_support.h"

namespace captivo {
namespace {

struct RealFile {
  const char* name;
  SubtitleFormat format;
  size_t minEntries, maxEntries;
  bool message;  // a message box is expected
};

void PrintTo(const RealFile& f, std::ostream* out) {
  *out << f.name;
}

class RealFileTest : public ::testing::TestWithParam<RealFile> {};

TEST_P(RealFileTest, Loads) {
  const RealFile& f = GetParam();
  const std::string path = test::TestDataFile(f.name);
  if (path.empty()) GTEST_SKIP() << "shared test data not present";
  SubtitleStore store;
  test::RecordingSink sink;
  EXPECT_EQ(LoadTextSubtitle(path, store, sink), f.format);
  EXPECT_GE(store.Count(), f.minEntries);
  EXPECT_LE(store.Count(), f.maxEntries);
  EXPECT_EQ(sink.messages.size(), f.message ? 1u : 0u);
}

using F = SubtitleFormat;
INSTANTIATE_TEST_SUITE_P(
    SharedTestData, RealFileTest,
    ::testing::Values(
        RealFile{"srt-crlf-cp1252-fr.srt", F::SubRip, 1332, 1332, false},
        RealFile{"srt-lf-ascii-digits-line.srt", F::SubRip, 1165, 1165, false},
        RealFile{"srt-utf8bom-crlf-capability-tester.srt", F::SubRip, 37, 37, false},
        // From cue 91 on the arrows are broken: those blocks are skipped, not errors.
        RealFile{"srt-utf8bom-lf-broken-arrows-fr.srt", F::SubRip, 90, 100, false},
        RealFile{"srt-utf16le-bom.srt", F::SubRip, 7, 7, false},
        RealFile{"srt-cp1251-ru-digits-lines.srt", F::SubRip, 733, 733, false},
        RealFile{"srt-cp1250-hr.srt", F::SubRip, 1132, 1132, false},
        RealFile{"srt-latin1-es-italic.srt", F::SubRip, 1092, 1092, false},
        RealFile{"srt-cr-only-dot-millis.srt", F::SubRip, 0, 0, true},  // "." before the millis
        RealFile{"srt-blank-lines-in-text.srt", F::SubRip, 2, 2, false},
        RealFile{"ass-crlf-comment-an8.ass", F::Ssa, 40, 40, false},  // the comment is left out
        RealFile{"ass-utf8bom-fansub-zh-en.ass", F::Ssa, 649, 649, false},
        RealFile{"ass-aegisub-graphics-section.ass", F::Ssa, 1, 1, false},
        RealFile{"ssa-v4-cp1252-es-marked.ssa", F::Ssa, 622, 622, false},
        RealFile{"ssa-v4-odd-lines-no-final-eol.ssa", F::Ssa, 6, 6, false},
        RealFile{"microdvd-2997-header.sub", F::Frame, 421, 421, false},
        RealFile{"microdvd-cp1250-pl.sub", F::Frame, 332, 332, false},
        RealFile{"microdvd-23976-header-after-junk.sub", F::Unknown, 0, 0, true},
        RealFile{"microdvd-negative-frames-latin1-fr.sub", F::Frame, 0, 0, true},
        RealFile{"subviewer-cp1252-en-br.sub", F::SubViewer, 336, 336, false},
        RealFile{"subviewer-latin1-fr-empty-first.sub", F::SubViewer, 1331, 1331, false},
        RealFile{"subviewer-negative-times-italic.sub", F::SubViewer, 8, 8, false},
        RealFile{"tmplayer-negative-times.txt", F::Unknown, 0, 0, true},
        RealFile{"tmplayer-one-digit-hour.txt", F::Unknown, 0, 0, true},
        RealFile{"vobsub-sintel-en.sub", F::Unknown, 0, 0, true},
        RealFile{"vobsub-subonly-nonstandard-length.sub", F::Unknown, 0, 0, true},
        RealFile{"vobsub-subonly-stuffing-bytes.sub", F::Unknown, 0, 0, true},
        RealFile{"vobsub-subonly-window-stuffing.sub", F::Unknown, 0, 0, true},
        RealFile{"vobsub-sintel-en.idx", F::Unknown, 0, 0, true}));

class RealFiles : public ::testing::Test {
 protected:
  // Loads the shared file `name` into the store; false when the shared data is missing.
  bool Load(const std::string& name) {
    const std::string path = test::TestDataFile(name);
    if (path.empty()) return false;
    LoadTextSubtitle(path, store, sink);
    return true;
  }
  SubtitleStore store;
  test::RecordingSink sink;
};

TEST_F(RealFiles, SubRipTextSurvivesWhole) {
  if (!Load("srt-lf-ascii-digits-line.srt")) GTEST_SKIP() << "shared test data not present";
  ASSERT_GE(store.Count(), 2u);
  // The first cue's second line is the year 2012: it stays in the text.
  EXPECT_NE(store.Text(0).find("\r\n2012"), std::string::npos) << store.Text(0);
}

TEST_F(RealFiles, SubRipBlocksWithBrokenArrowsStayOutOfTheTextBefore) {
  if (!Load("srt-utf8bom-lf-broken-arrows-fr.srt")) GTEST_SKIP() << "shared test data not present";
  for (size_t i = 0; i < store.Count(); ++i) {
    EXPECT_EQ(store.Text(i).find(" - > "), std::string_view::npos) << i;
    EXPECT_LT(store.Text(i).size(), 200u) << i;  // two lines of a film, not pages
  }
}

}  // namespace
}  // namespace captivo
