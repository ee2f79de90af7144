// captivo-sub as people and scripts use it: exact output and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_processes.h"
#include "test_support.h"
#include "vobsub_writer.h"

namespace captivo {
namespace {

// Runs captivo-sub with `arguments`, after the shell commands `before` (limits).
test::ProgramRun RunTool(const std::string& arguments, const std::string& before = "") {
  return test::RunProgram(CAPTIVO_SUB_TOOL, arguments, before);
}

TEST(CaptivoSub, DumpPrintsEveryFieldEscaped) {
  test::TempDir dir;
  const std::string path = dir.Write("a.sub", "{1}{2}back\\slash|tab\there\x01\xE9\n{5}{x}y\n");
  const test::ProgramRun run = RunTool("dump '" + path + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "format\tframe\nunit\tframes\nencoding\twindows-1252\n"
            "1\t2\tback\\\\slash\\r\\ntab\\there\\x01\\xe9\n"
            "message\tError\tSubtitle file error\tinformation\n");
}

TEST(CaptivoSub, DumpReportsConversionErrorsAndUnknownFormats) {
  test::TempDir dir;
  test::ProgramRun run = RunTool("dump '" + dir.Write("t.txt", "00:00:01:a\n00:x:02:b\n") + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "format\ttimecode\nunit\tseconds\nencoding\tutf-8\n1\t-1\ta\n"
            "error\t'x' is not a valid integer value\n");
  run = RunTool("dump '" + dir.Write("u.txt", "hello\n") + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(0, 55),
            "format\tunknown\nunit\tframes\nencoding\tutf-8\nmessage\tError");
}

TEST(CaptivoSub, DumpExactPrintsMillisecondsOfTimeBasedFilesOnly) {
  test::TempDir dir;
  const std::string srt = dir.Write("a.srt", "1\n00:00:01,250 --> 00:00:02,999\nx\n");
  EXPECT_EQ(RunTool("dump '" + srt + "'").out,
            "format\tsrt\nunit\tseconds\nencoding\tutf-8\n1\t2\tx\n");
  test::ProgramRun run = RunTool("dump --exact '" + srt + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "format\tsrt\nunit\tmilliseconds\nencoding\tutf-8\n1250\t2999\tx\n");
  const std::string frames = dir.Write("a.sub", "{1}{2}x\n");
  EXPECT_EQ(RunTool("dump --exact '" + frames + "'").out,
            "format\tframe\nunit\tframes\nencoding\tutf-8\n1\t2\tx\n");
  // WebVTT is read in milliseconds: exact with or without the switch.
  const std::string vtt = dir.Write("a.vtt", "WEBVTT\n\n00:01.250 --> 00:02.999\n<b>x</b>\n");
  for (const char* option : {"", "--exact "})
    EXPECT_EQ(RunTool(std::string("dump ") + option + "'" + vtt + "'").out,
              "format\twebvtt\nunit\tmilliseconds\nencoding\tutf-8\n1250\t2999\tx\n");
  EXPECT_EQ(RunTool("dump --exact").status, 2);
  EXPECT_EQ(RunTool("dump --fast '" + srt + "'").status, 2);
}

TEST(CaptivoSub, DumpNamesTheEncodingTheFileIsReadWith) {
  test::TempDir dir;
  // Cyrillic in windows-1251: "Привет, как дела?" and "Спасибо, всё хорошо." a few times.
  std::string cyrillic;
  for (int i = 1; i <= 6; ++i)
    cyrillic += std::to_string(i) + "\n00:00:0" + std::to_string(i) + ",000 --> 00:00:0" +
                std::to_string(i) + ",500\n\xCF\xF0\xE8\xE2\xE5\xF2, \xEA\xE0\xEA " +
                "\xE4\xE5\xEB\xE0?\n\xD1\xEF\xE0\xF1\xE8\xE1\xEE, \xE2\xF1\xB8 " +
                "\xF5\xEE\xF0\xEE\xF8\xEE.\n\n";
  const std::string run = RunTool("dump '" + dir.Write("ru.srt", cyrillic) + "'").out;
  const std::string header = "format\tsrt\nunit\tseconds\nencoding\twindows-1251\n1\t1\t\\xcf\\xf0";
  EXPECT_EQ(run.substr(0, header.size()), header);
  const std::string utf16 = dir.Write("le.srt", std::string("\xFF\xFE"
                                                            "1\0\n\0",
                                                            6));
  const std::string utf16Header = "format\tsrt\nunit\tseconds\nencoding\tutf-16le\n";
  EXPECT_EQ(RunTool("dump '" + utf16 + "'").out.substr(0, utf16Header.size()), utf16Header);
}

TEST(CaptivoSub, ExitCodes) {
  test::TempDir dir;
  const std::string missing = (dir.Path() / "none.srt").string();
  test::ProgramRun run = RunTool("dump '" + missing + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "error\tCannot open file " + missing + "\n");
  EXPECT_EQ(RunTool("").status, 2);
  EXPECT_EQ(RunTool("dump").status, 2);
  EXPECT_EQ(RunTool("find x 25").status, 2);
  EXPECT_EQ(RunTool("find x fast 10").status, 2);
  EXPECT_EQ(RunTool("find '" + missing + "' 25 10").status, 1);
}

TEST(CaptivoSub, OutOfMemoryIsAnErrorLineNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory does not fit a small address space";
#endif
  test::TempDir dir;
  // One 96 MiB line in an address space of 64 MiB (the program and its libraries take
  // about 40): the line cannot be held.
  const std::string path =
      dir.Write("huge.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + std::string(96 << 20, 'x'));
  for (const char* command : {"dump", "find"}) {
    const test::ProgramRun run = RunTool(
        std::string(command) + " '" + path + "' " + (command == std::string("find") ? "25 30" : ""),
        "ulimit -v 65536; ");
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.out, "error\tNot enough memory\n") << command;
  }
}

TEST(CaptivoSub, FindAppliesTheFrameRate) {
  test::TempDir dir;
  const std::string path = dir.Write("a.srt", "1\n00:00:10,000 --> 00:00:11,000\nten\n");
  test::ProgramRun run = RunTool("find '" + path + "' 23.976 239 240 264 265");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "\nten\nten\n\n");
  run = RunTool("find '" + path + "' 25 250");
  EXPECT_EQ(run.out, "ten\n");
}

// A box of 20 x 6 pixels at (100, 400).
test::VobSubPicture Box(int64_t start, int duration) {
  auto picture = test::MakePicture(start, duration, 20, 6, [](int, int) { return 1; });
  picture.x = 100;
  picture.y = 400;
  return picture;
}

TEST(CaptivoSub, DumpVobSubListsLanguagesPicturesAndWhatWasSkipped) {
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  test::VobSubPicture invisible = Box(5000, 0);
  invisible.alpha = {0, 0, 0, 0};
  test::WriteVobSub(base,
                    {{"en", 0, {Box(1000, 2000), Box(4000, 0), invisible}},
                     {"fr", 1, {}},
                     {"de", 2, {Box(2000, 0)}}},
                    test::TestPalette());
  std::ofstream(base + ".idx", std::ios::app) << "timestamp: 00:00:09:000\n";
  const test::ProgramRun run = RunTool("dump '" + base + ".idx'");
  EXPECT_EQ(run.status, 0);
  // A stop after 2000 ms is written as 175 units of 1024/90000 s: 1991 ms. Without a stop
  // a picture ends where the next begins; the last one has no end ("-").
  EXPECT_EQ(run.out,
            "format\tvobsub\n"
            "language\t0\tEnglish\n"
            "language\t2\tGerman\n"
            "picture\t0\t1000\t2991\t100\t400\t120\t406\n"
            "picture\t0\t4000\t5000\t100\t400\t120\t406\n"
            "picture\t2\t2000\t-\t100\t400\t120\t406\n"
            "error\tindex line 14: unreadable timestamp line, picture skipped\n"
            "error\tpicture of language 0 at 5000 ms (file position 0x1000): no visible pixel\n");
  // Any of the set's names, in any case, is the set, as the program decides.
  EXPECT_EQ(RunTool("dump '" + base + ".SUB'").out, run.out);
  EXPECT_EQ(RunTool("dump '" + base + ".ifo'").out, run.out);
  // Without its ".sub" the index is only a text file of no known format.
  std::filesystem::remove(base + ".sub");
  EXPECT_TRUE(RunTool("dump '" + base + ".idx'").out.starts_with("format\tunknown\n"));
}

}  // namespace
}  // namespace captivo
