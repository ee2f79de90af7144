// The owner of the loaded subtitles: what each kind answers, and what an open keeps.
#include "loaded_subtitles.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "test_support.h"

namespace captivo {
namespace {

// A bitmap set library that records what it is asked and has a picture every 1000 ms.
struct RecordingSets : BitmapSetLibrary {
  std::vector<std::string> calls;
  void Load(const std::string& base) override { calls.push_back("Load " + base); }
  void SetLanguage(int32_t index) override {
    calls.push_back("SetLanguage " + std::to_string(index));
  }
  std::optional<int32_t> PictureAt(int32_t milliseconds) override { return milliseconds / 1000; }
  SubtitlePicture Picture() override { return {}; }
  std::vector<LineTimes> PictureTimes() override { return {{1000, 2000}, {3000, 3500}}; }
};

struct Loaded {
  test::TempDir dir;
  RecordingSets sets;
  LoadedSubtitles subtitles{sets};
  test::RecordingSink sink;
  int languagesAsked = 0;

  void Open(const std::string& name, std::optional<int32_t> language = {}) {
    subtitles.Open((dir.Path() / name).string(), language, [this] { return ++languagesAsked + 6; },
                   sink);
  }
};

const SubtitleTiming kAt25{.movieFrameRate = 25};

TEST(LoadedSubtitles, EachKindGivesTheLinesToSynchronize) {
  Loaded l;
  EXPECT_FALSE(l.subtitles.LinesToSync(kAt25));  // nothing loaded
  l.dir.Write("film.srt", "1\n00:00:01,500 --> 00:00:02,000\nA\n");
  l.Open("film.srt");
  std::optional<SyncSubject> text = l.subtitles.LinesToSync(kAt25);
  ASSERT_TRUE(text);
  ASSERT_EQ(text->lines.size(), 1u);
  EXPECT_EQ(text->lines[0].startMs, 1500);
  EXPECT_TRUE(text->linesCanMove);
  l.dir.Write("set.idx", "# index\n");
  l.dir.Write("set.sub", "");
  l.Open("set.sub", 0);
  std::optional<SyncSubject> pictures = l.subtitles.LinesToSync(kAt25);
  ASSERT_TRUE(pictures);
  ASSERT_EQ(pictures->lines.size(), 2u);
  EXPECT_EQ(pictures->lines[1].endMs, 3500);
  EXPECT_FALSE(pictures->linesCanMove);  // one offset for every picture
  EXPECT_EQ(pictures->movieFrameRate, 25);
}

TEST(LoadedSubtitles, EachKindAnswersWhatShows) {
  Loaded l;
  // Nothing loaded: an empty text, which clears the strip's first words.
  DueSubtitle due = l.subtitles.DueAt(50, kAt25);
  EXPECT_EQ(due.pictures, nullptr);
  EXPECT_EQ(due.text, "");
  EXPECT_EQ(l.subtitles.TimedLines(), nullptr);

  l.dir.Write("film.srt", "1\n00:00:01,000 --> 00:00:03,000\nHello\n");
  l.Open("film.srt");
  due = l.subtitles.DueAt(50, kAt25);
  EXPECT_EQ(due.text, "Hello");
  ASSERT_NE(l.subtitles.TimedLines(), nullptr);
  EXPECT_TRUE(l.subtitles.LinesTellTheRate());
  EXPECT_FALSE(l.subtitles.HasLanguages());

  l.dir.Write("film.idx", "");
  l.dir.Write("film.sub", "");
  l.Open("film.IDX");
  due = l.subtitles.DueAt(50, kAt25);
  EXPECT_EQ(due.pictures, &l.sets);
  EXPECT_EQ(due.milliseconds, 2000);
  EXPECT_EQ(l.subtitles.DueAt(50, {}).milliseconds, std::nullopt);  // no rate, no time
  EXPECT_EQ(l.subtitles.TimedLines(), nullptr);                     // a set lists no lines
  EXPECT_TRUE(l.subtitles.HasLanguages());
}

TEST(LoadedSubtitles, AMovieTrackAnswersWithItsLinesOrItsPictures) {
  struct Case {
    const char* what;
    bool pictures;
    int32_t position;    // a subtitle position, at 25 fps
    int32_t expectedMs;  // of the picture asked for
  } cases[] = {
      {"text", false, 50, 0},
      {"pictures", true, 50, 2000},
      {"pictures later", true, 101, 4040},
  };
  for (const Case& c : cases) {
    Loaded l;
    RecordingSets trackPictures;
    l.subtitles.OpenTrack(4, c.pictures ? &trackPictures : nullptr);
    l.subtitles.Store().AppendMilliseconds(1000, 3000, "line");
    const DueSubtitle due = l.subtitles.DueAt(c.position, kAt25);
    EXPECT_EQ(l.subtitles.Track(), 4) << c.what;
    EXPECT_FALSE(l.subtitles.HasLanguages()) << c.what;
    if (c.pictures) {
      EXPECT_EQ(due.pictures, &trackPictures) << c.what;
      EXPECT_EQ(due.milliseconds, c.expectedMs) << c.what;
      EXPECT_EQ(l.subtitles.TimedLines(), nullptr) << c.what;  // pictures cannot be timed
    } else {
      EXPECT_EQ(due.pictures, nullptr) << c.what;
      EXPECT_EQ(due.text, "line") << c.what;
      EXPECT_NE(l.subtitles.TimedLines(), nullptr) << c.what;
    }
  }
}

TEST(LoadedSubtitles, ASetOpensInTheLanguageGivenElseTheOneChosen) {
  Loaded l;
  l.dir.Write("film.idx", "");
  l.dir.Write("film.sub", "");
  const std::string base = (l.dir.Path() / "film").string();
  l.Open("film.sub");
  l.Open("film.idx", 3);
  EXPECT_EQ(l.sets.calls, (std::vector<std::string>{"Load " + base, "SetLanguage 7", "Load " + base,
                                                    "SetLanguage 3"}));
  EXPECT_EQ(l.languagesAsked, 1);
  EXPECT_EQ(l.subtitles.Language(), 3);
}

TEST(LoadedSubtitles, AnOpenKeepsTheNameAndForgetsTheMarksUnlessItRaises) {
  Loaded l;
  l.dir.Write("film.srt", "1\n00:00:01,000 --> 00:00:03,000\nHello\n");
  l.dir.Write("unknown.txt", "what is this\n");
  l.Open("film.srt");
  l.subtitles.FirstMark() = TimingMark{1, 2};
  l.Open("unknown.txt");  // a message, and the lines stay as they were
  EXPECT_EQ(l.sink.messages.size(), 1u);
  EXPECT_EQ(l.subtitles.FileName(), (l.dir.Path() / "unknown.txt").string());
  EXPECT_FALSE(l.subtitles.FirstMark());
  EXPECT_EQ(l.subtitles.DueAt(50, kAt25).text, "Hello");

  l.subtitles.FirstMark() = TimingMark{1, 2};
  EXPECT_THROW(l.Open("missing.srt"), FileError);
  EXPECT_EQ(l.subtitles.FileName(), (l.dir.Path() / "unknown.txt").string());
  EXPECT_TRUE(l.subtitles.FirstMark());
}

}  // namespace
}  // namespace captivo
