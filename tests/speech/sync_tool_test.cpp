// captivo-sub sync on the test movies: what it prints, what it saves, how it fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "speech_media.h"
#include "test_processes.h"
#include "test_support.h"
#include "vobsub_writer.h"

namespace captivo {
namespace {

using test::Media;

test::ProgramRun Sync(const std::string& arguments, const std::string& before = "") {
  return test::RunProgram(CAPTIVO_SUB_TOOL, "sync " + arguments, before);
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

std::string Time(int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d,%03d", int(ms / 3'600'000),
                int(ms / 60'000 % 60), int(ms / 1000 % 60), int(ms % 1000));
  return text;
}

// The spoken lines as a SubRip file, each `shiftMs` late, and from line `cutLine` on
// `cutMs` more.
std::string Shifted(int64_t shiftMs, size_t cutLine = SIZE_MAX, int64_t cutMs = 0) {
  std::string out;
  const std::vector<int64_t> starts = test::SpokenStarts();
  for (size_t i = 0; i < starts.size(); ++i) {
    const int64_t start = starts[i] + shiftMs + (i >= cutLine ? cutMs : 0);
    out += std::to_string(i + 1) + "\n" + Time(start) + " --> " + Time(start + 3'000) + "\nLine " +
           std::to_string(i + 1) + "\n\n";
  }
  return out;
}

// The value of a "name<TAB>value" line.
std::string Field(const std::string& out, const std::string& name) {
  const size_t at = out.find(name + "\t");
  if (at == std::string::npos) return {};
  const size_t from = at + name.size() + 1;
  return out.substr(from, out.find('\n', from) - from);
}

TEST(SyncTool, LaysTheSubtitleOnTheSpeech) {
  test::TempDir dir;
  const test::ProgramRun run =
      Sync(Quoted(Media("speech-25.mp4")) + " " + Quoted(dir.Write("late.srt", Shifted(3'000))));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NEAR(std::stoi(Field(run.out, "offset")), 3'000, 40) << run.out;
  EXPECT_EQ(Field(run.out, "rate"), "25");
  EXPECT_GE(std::stoi(Field(run.out, "agreement")), 90);
  EXPECT_EQ(Field(run.out, "cut"), "");
}

TEST(SyncTool, FindsACut) {
  test::TempDir dir;
  const test::ProgramRun run = Sync(Quoted(Media("speech-25.mp4")) + " " +
                                    Quoted(dir.Write("cut.srt", Shifted(-2'000, 20, 7'000))));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NEAR(std::stoi(Field(run.out, "offset")), -2'000, 40) << run.out;
  const std::string cut = Field(run.out, "cut");
  ASSERT_EQ(cut.substr(0, 3), "21\t") << run.out;
  EXPECT_NEAR(std::stoi(cut.substr(3)), -7'000, 40) << run.out;
}

TEST(SyncTool, LaysTheSubtitleOnAnother) {
  test::TempDir dir;
  const std::string late = dir.Write("late.srt", Shifted(3'000));
  EXPECT_EQ(Sync(Quoted(Media("speech-25.mp4")) + " " + Quoted(late) + " --reference " +
                 Quoted(Media("speech-25.srt")))
                .out,
            "offset\t3000\nrate\t25\nagreement\t100\n");
  // A VobSub set's pictures are laid as lines are.
  std::vector<test::VobSubPicture> pictures;
  for (const int64_t start : test::SpokenStarts())
    pictures.push_back(test::MakePicture(start + 3'000, 2'000, 4, 2, [](int, int) { return 1; }));
  test::WriteVobSub((dir.Path() / "late").string(), {{"en", 0, pictures}}, test::TestPalette());
  EXPECT_EQ(Sync(Quoted(Media("speech-25.mp4")) + " " + Quoted((dir.Path() / "late.idx").string()) +
                 " --reference " + Quoted(Media("speech-25.srt")))
                .out,
            "offset\t3000\nrate\t25\nagreement\t100\n");
}

TEST(SyncTool, SavesTheSubtitleSoTimedButNeverOverAFile) {
  test::TempDir dir;
  const std::string late = dir.Write("late.srt", Shifted(3'000));
  const std::string reference = " --reference " + Quoted(Media("speech-25.srt"));
  const std::string srt = (dir.Path() / "fixed.srt").string();
  const std::string vtt = (dir.Path() / "fixed.VTT").string();
  EXPECT_EQ(Sync(Quoted(Media("speech-25.mp4")) + " " + Quoted(late) + reference + " --save " +
                 Quoted(srt))
                .status,
            0);
  EXPECT_EQ(Sync(Quoted(Media("speech-25.mp4")) + " " + Quoted(late) + reference + " --save " +
                 Quoted(vtt))
                .status,
            0);
  const std::vector<int64_t> starts = test::SpokenStarts();
  const std::string first = Time(starts[0]) + " --> " + Time(starts[0] + 3'000);
  const std::string firstEntry = "1\n" + first + "\nLine 1\n\n2\n";
  EXPECT_EQ(test::FileContents(srt).substr(0, firstEntry.size()), firstEntry);
  std::string vttEntry = "WEBVTT\n\n" + firstEntry;
  std::replace(vttEntry.begin(), vttEntry.end(), ',', '.');
  EXPECT_EQ(test::FileContents(vtt).substr(0, vttEntry.size()), vttEntry);
  const std::string saved = test::FileContents(srt);
  const test::ProgramRun again = Sync(Quoted(Media("speech-25.mp4")) + " " + Quoted(late) +
                                      reference + " --save " + Quoted(srt));
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out,
            "offset\t3000\nrate\t25\nagreement\t100\nerror\t" + srt + " exists: not replaced\n");
  EXPECT_EQ(test::FileContents(srt), saved);
}

TEST(SyncTool, SaysWhyItCannotSolveAndChangesNothing) {
  test::TempDir dir;
  const std::string late = dir.Write("late.srt", Shifted(3'000));
  const std::string one = dir.Write("one.srt", "1\n00:00:05,000 --> 00:00:07,000\nAlone\n");
  const std::string none = dir.Write("none.srt", "");
  struct Case {
    std::string movie, subtitle, error;
  } cases[] = {
      {"movie-640x272-25-30s.avi", late, "The movie has no sound; nothing changed"},
      {"silence-25.mp4", late, "No speech found in the movie's sound; nothing changed"},
      {"broken-sound-25.mp4", late, "The movie's sound cannot be decoded; nothing changed"},
      {"text.avi", late, "The movie cannot be read; nothing changed"},
      {"speech-25.mp4", none, "The subtitle has no lines to synchronize"},
      {"speech-25.mp4", one, "Too few lines to synchronize: at least 5 are needed"},
      {"speech-25.mp4", (dir.Path() / "missing.srt").string(),
       "Cannot open file " + (dir.Path() / "missing.srt").string()},
  };
  for (const Case& c : cases) {
    const std::string saved = (dir.Path() / "saved.srt").string();
    const test::ProgramRun run =
        Sync(Quoted(Media(c.movie)) + " " + Quoted(c.subtitle) + " --save " + Quoted(saved));
    EXPECT_EQ(run.status, 1) << c.movie;
    EXPECT_EQ(run.out, "error\t" + c.error + "\n") << c.movie;
    EXPECT_FALSE(std::filesystem::exists(saved)) << c.movie;
  }
  // Notes and chords, no voice: the lines find nowhere to lie.
  const test::ProgramRun music = Sync(Quoted(Media("music-25.mp4")) + " " + Quoted(late));
  EXPECT_EQ(music.status, 1);
  EXPECT_EQ(music.out.substr(0, 33), "error\tToo little agreement with t");
}

TEST(SyncTool, TenHoursOfSilenceEndWithANote) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit a limited address space";
#endif
  test::TempDir dir;
  // Within a gigabyte of address space: the levels of ten hours are a few megabytes.
  const test::ProgramRun run =
      Sync(Quoted(Media("ten-hours.mkv")) + " " + Quoted(dir.Write("late.srt", Shifted(0))),
           "ulimit -v 1000000; ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "error\tNo speech found in the movie's sound; nothing changed\n");
}

TEST(SyncTool, UsageErrors) {
  for (const char* arguments :
       {"", "one", "a b c", "a b --reference", "a b --save", "a b --bogus x"})
    EXPECT_EQ(Sync(arguments).status, 2) << arguments;
}

}  // namespace
}  // namespace captivo
