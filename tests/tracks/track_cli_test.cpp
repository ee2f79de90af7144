// captivo-sub's commands for a movie's tracks: exact output and exit codes.
#include <gtest/gtest.h>

#include "matroska_writer.h"
#include "reading.h"
#include "test_processes.h"
#include "test_support.h"

namespace captivo::test {
namespace {

ProgramRun RunTool(const std::string& arguments) {
  return RunProgram(CAPTIVO_SUB_TOOL, arguments);
}

TEST(TrackCommands, TracksListsEveryTrack) {
  const ProgramRun run = RunTool("tracks '" + Media("tracks.mkv") + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "track\t0\tvideo\th264\t\t\t\n"
            "track\t1\taudio\taac\teng\t\tdefault\n"
            "track\t2\taudio\taac\tfre\tCommentaire\t\n"
            "track\t3\tsubtitle\tsubrip\teng\tSDH\tdefault\n"
            "track\t4\tsubtitle\tsubrip\tfre\t\t\n"
            "track\t5\tsubtitle\tass\teng\tSigns\t\n"
            "track\t6\tsubtitle\tdvd_subtitle\teng\t\t\n");
}

TEST(TrackCommands, DumpATextTrack) {
  const ProgramRun run = RunTool("dump --track 3 '" + Media("tracks.mkv") + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "format\tsubrip\nunit\tmilliseconds\n"
            "1023\t2523\tHello there\n"
            "3023\t4523\tSecond line\\r\\nof two\n"
            "5023\t6523\tThird\n");
}

TEST(TrackCommands, DumpABitmapTrack) {
  const ProgramRun run = RunTool("dump --track 6 '" + Media("tracks.mkv") + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "format\tdvd_subtitle\nsize\t720\t480\n"
            "picture\t6\t1023\t5016\t220\t200\t420\t240\n"
            "picture\t6\t7023\t11016\t220\t200\t420\t240\n");
}

TEST(TrackCommands, EscapingAndWhatWasSkipped) {
  TempDir dir;
  MatroskaTrack track;
  track.codecId = "S_TEXT/ASS";
  track.language = "e\tn";
  const std::string path = dir.Write(
      "odd.mkv", MatroskaFile({track}, {{0, 1000, 1000, "1,0,Default,,0,0,0,,back\\slash\x01"},
                                        {0, 2000, 0, "broken"}}));
  ProgramRun run = RunTool("tracks '" + path + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "track\t0\tsubtitle\tass\te\\tn\t\tdefault\n");  // Matroska's default
  run = RunTool("dump --track 0 '" + path + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "format\tass\nunit\tmilliseconds\n1000\t2000\tback\\\\slash\\x01\n"
            "error\t1 packets could not be read\n");
}

TEST(TrackCommands, ExitCodes) {
  TempDir dir;
  MatroskaTrack odd;
  odd.codecId = "S_TEXT/USF";
  const std::string unknown = dir.Write("odd.mkv", MatroskaFile({odd}, {{0, 1000, 500, "x"}}));
  const std::string movie = "'" + Media("tracks.mkv") + "'";
  const std::string missing = (dir.Path() / "none.mkv").string();
  struct Case {
    std::string arguments;
    int status;
    std::string out;
  } cases[] = {
      {"tracks '" + missing + "'", 1, "error\tCannot read movie " + missing + "\n"},
      {"dump --track 0 '" + missing + "'", 1, "error\tCannot read movie " + missing + "\n"},
      {"dump --track 0 " + movie, 1, "error\tTrack 0 is not a subtitle track\n"},
      {"dump --track 9 " + movie, 1, "error\tNo track 9\n"},
      {"dump --track 0 '" + unknown + "'", 1, "error\tTrack 0 (none) cannot be shown\n"},
      {"dump --track x " + movie, 2, ""},
      {"dump --track -1 " + movie, 2, ""},
      {"dump --track 3", 2, ""},
      {"tracks", 2, ""},
  };
  for (const Case& c : cases) {
    const ProgramRun run = RunTool(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_EQ(run.out, c.out) << c.arguments;
  }
}

}  // namespace
}  // namespace captivo::test
