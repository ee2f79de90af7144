#include "remembered_timing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "test_processes.h"
#include "test_support.h"
#include "track_choice.h"

namespace captivo {
namespace {

RememberedTiming Timing(const std::string& moviePath, uint64_t size = 700 << 20) {
  return {moviePath, size, moviePath + ".srt", -1500,        2,
          25,        0,    std::nullopt,       std::nullopt, std::nullopt};
}

// A good line as the file holds it, for files made by hand.
std::string Line(const std::string& moviePath, uint64_t size = 100) {
  return moviePath + "\t" + std::to_string(size) + "\tsub.srt\t0\t2\t25\t0\n";
}

constexpr const char* kHeader = "captivo timing 1\n";

TEST(TimingMemory, KeepsAnyBytesOfPathsAndEveryNumberExactly) {
  test::TempDir dir;
  const TimingMemory memory(dir.Path() / "timing");
  const RememberedTiming timings[] = {
      {"/films/a\tb\nc%41 d.mkv", 1, "/films/sub%\r.srt", 0, -1, 23.976, -1, std::nullopt,
       std::nullopt, std::nullopt},
      {std::string("/films/\xff\xfe\x80 latin1 \xe9t\xe9.avi"), UINT64_MAX, "", INT32_MIN, 5,
       29.97002997002997, INT32_MAX, INT32_MAX, INT32_MAX, std::nullopt},  // tracks of its own
      {std::string("/nul\0inside", 11), 0, "/\x7f", INT32_MAX, 3, 1e-300, INT32_MIN, 0,
       std::nullopt, std::nullopt},
      {"/films/plain.mkv", 700 << 20, "/films/plain.sub", -1500, 1, 0.1 + 0.2, 0, std::nullopt, 0,
       std::nullopt},  // an audio track without a subtitle track
      {"/films/none.mkv", 5, "", 0, 2, 25, 0, kNoTrackChosen, 3, std::nullopt},  // None chosen
      // A second subtitle, alone and after both tracks.
      {"/films/two.mkv", 9, "/films/two.en.srt", 0, 0, 25, 0, std::nullopt, std::nullopt,
       RememberedSecond{"/films/two\t%fr.srt", std::nullopt, -2500, -1, 25.017}},
      {"/films/all.mkv", 9, "", 70, 0, 25, 0, 2, 1,
       RememberedSecond{std::string("/films/\xe9.srt"), std::nullopt, INT32_MIN, 3, 25}},
      {"/films/track.mkv", 9, "", 0, 0, 25, 0, 2, std::nullopt,
       RememberedSecond{"", 3, 1200, 0, 25}},  // a track of the movie as the second
  };
  for (const RememberedTiming& timing : timings) ASSERT_TRUE(memory.Remember(timing));
  for (const RememberedTiming& timing : timings) {
    EXPECT_EQ(memory.Find(timing.moviePath, timing.movieSize), timing) << timing.moviePath;
    EXPECT_EQ(memory.Find(timing.moviePath, timing.movieSize + 1), std::nullopt);
  }
  // One line per movie, every byte printable ASCII.
  const std::string text = test::FileContents(memory.Path());
  EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')),
            std::size(timings) + 1);
  for (const char c : text) EXPECT_TRUE(c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7f));
  EXPECT_EQ(text.rfind(kHeader, 0), 0u);
}

TEST(TimingMemory, KeepsTheMostRecentMoviesFirstAndReplacesTheSameMovie) {
  test::TempDir dir;
  // More movies than are kept, as another program might leave them: m0 most recent.
  std::string text = kHeader;
  for (int i = 0; i < 600; ++i) text += Line("m" + std::to_string(i));
  const TimingMemory memory(dir.Write("timing", text));
  EXPECT_TRUE(memory.Find("m499", 100));
  EXPECT_FALSE(memory.Find("m500", 100));

  ASSERT_TRUE(memory.Remember(Timing("new")));
  EXPECT_EQ(memory.Find("new", 700 << 20), Timing("new"));
  EXPECT_TRUE(memory.Find("m498", 100));
  EXPECT_FALSE(memory.Find("m499", 100));  // the oldest made room

  RememberedTiming changed = Timing("m200", 100);
  changed.offsetMilliseconds = 4000;
  ASSERT_TRUE(memory.Remember(changed));
  ASSERT_TRUE(memory.Remember(Timing("m200", 101)));  // another file under the same name
  EXPECT_EQ(memory.Find("m200", 100), changed);
  EXPECT_EQ(memory.Find("m200", 101), Timing("m200", 101));

  std::istringstream lines(test::FileContents(memory.Path()));
  std::vector<std::string> movies;
  for (std::string line; std::getline(lines, line);)
    movies.push_back(line.substr(0, line.find('\t')));
  ASSERT_EQ(movies.size(), TimingMemory::kMoviesKept + 1);
  EXPECT_EQ(std::vector<std::string>(movies.begin(), movies.begin() + 6),
            (std::vector<std::string>{"captivo timing 1", "m200", "m200", "new", "m0", "m1"}));
  EXPECT_EQ(std::count(movies.begin(), movies.end(), "m200"), 2);
  EXPECT_EQ(movies.back(), "m497");
}

TEST(TimingMemory, SkipsDamagedLinesAndKeepsTheRest) {
  const std::string damaged[] = {
      "bad\t1\tsub\t0\t2\t25\n",              // a field short
      "bad\t1\tsub\t0\t2\t25\t0\t0\t0\t0\n",  // a field over the tracks'
      "bad\t1\tsub\t0\t2\t25\t0\t-2\n",       // -1 (None) is the only sign
      "bad\t1\tsub\t0\t2\t25\t0\t0\t-1\n",    // an audio track has none
      "bad\t1\tsub\t0\t2\t25\t0\t+1\n",
      "bad\t1\tsub\t0\t2\t25\t0\t0\t+1\n",
      "bad\t1\tsub\t0\t2\t25\t0\t\n",  // empty only when an audio track follows
      "bad\t1\tsub\t0\t2\t25\t0\t\t\n",
      "bad\t1\tsub\t0\t2\t25\t0\t0\t\n",
      "bad\t1\tsub\t0\t2\t25\t0\t\t\tsecond.srt\n",  // the second subtitle: four or none
      "bad\t1\tsub\t0\t2\t25\t0\t\t\tsecond.srt\t0\t2\t0\n",
      "bad\t1\tsub\t0\t2\t25\t0\t\t\tsecond.srt\t0\t2\t25\n",
      "bad\t1\tsub\t0\t2\t25\t0\t\t\tsecond.srt\t0\t2\t25\tx\n",
      "bad\t1\tsub\t0\t2\t25\t0\t\t\tsecond.srt\t0\t2\t25\t1\t\n",
      "bad\t-1\tsub\t0\t2\t25\t0\n",  // sizes have no sign
      "bad\t18446744073709551616\tsub\t0\t2\t25\t0\n",
      "bad\t1\tsub\t2147483648\t2\t25\t0\n",  // offset beyond 32 bits
      "bad\t1\tsub\t 5\t2\t25\t0\n",
      "bad\t1\tsub\t+5\t2\t25\t0\n",
      "bad\t1\tsub\t0\t6\t25\t0\n",  // no such menu choice
      "bad\t1\tsub\t0\t-2\t25\t0\n",
      "bad\t1\tsub\t0\t2\t0\t0\n",  // rates above 0 only
      "bad\t1\tsub\t0\t2\t-25\t0\n",
      "bad\t1\tsub\t0\t2\tnan\t0\n",
      "bad\t1\tsub\t0\t2\tinf\t0\n",
      "bad\t1\tsub\t0\t2\t1e999\t0\n",
      "bad\t1\tsub\t0\t2\t25fps\t0\n",
      "bad\t1\tsub\t0\t2\t25\t-2147483649\n",
      "bad\t1\tsub\t0\t2\t25\t\n",
      "bad\t1\tsu%4\t0\t2\t25\t0\n",  // escapes of two hexadecimal digits
      "bad\t1\tsu%G0\t0\t2\t25\t0\n",
      "bad\r\t1\tsub\t0\t2\t25\t0\n",  // raw bytes that are not printable
      "bad\xff\t1\tsub\t0\t2\t25\t0\n",
      "\n",
      "bad" + std::string(70000, 'x') + "\t1\tsub\t0\t2\t25\t0\n",  // longer than any path
  };
  for (const std::string& line : damaged) {
    test::TempDir dir;
    const TimingMemory memory(dir.Write("timing", kHeader + Line("before") + line + Line("after")));
    EXPECT_TRUE(memory.Find("before", 100)) << line;
    EXPECT_TRUE(memory.Find("after", 100)) << line;
    EXPECT_FALSE(memory.Find("bad", 1)) << line;
    ASSERT_TRUE(memory.Remember(Timing("new", 1))) << line;
    EXPECT_EQ(test::FileContents(memory.Path()), std::string(kHeader) +
                                                     "new\t1\tnew.srt\t-1500\t2\t25\t0\n" +
                                                     Line("before") + Line("after"))
        << line;
  }
}

// The line each entry is written as, and read back from; the lines of older versions, with
// seven or eight fields, read as they always did.
TEST(TimingMemory, WritesTheTrackFieldsOnlyWhenThereAreTracks) {
  const struct Case {
    std::optional<int32_t> subtitleTrack, audioTrack;
    const char* tail;  // after the seventh field
  } cases[] = {
      {std::nullopt, std::nullopt, ""},
      {4, std::nullopt, "\t4"},
      {kNoTrackChosen, std::nullopt, "\t-1"},
      {std::nullopt, 2, "\t\t2"},
      {5, 1, "\t5\t1"},
      {kNoTrackChosen, 0, "\t-1\t0"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const TimingMemory memory(dir.Path() / "timing");
    RememberedTiming timing = Timing("m", 1);
    timing.subtitleTrack = c.subtitleTrack;
    timing.audioTrack = c.audioTrack;
    ASSERT_TRUE(memory.Remember(timing)) << c.tail;
    const std::string line = "m\t1\tm.srt\t-1500\t2\t25\t0" + std::string(c.tail) + "\n";
    EXPECT_EQ(test::FileContents(memory.Path()), kHeader + line);
    const TimingMemory byHand(dir.Write("by-hand", kHeader + line));
    EXPECT_EQ(byHand.Find("m", 1), timing) << c.tail;
  }
}

TEST(TimingMemory, AFileNotOursIsNeitherReadNorOverwritten) {
  const std::string foreign[] = {
      "",
      "[Setting]\nOnTop=1\n",
      "captivo timing 2\n" + Line("movie"),
      "captivo timing 1 \n" + Line("movie"),
      std::string(100000, 'x') + "\n" + kHeader + Line("movie"),  // a header only after
  };
  for (const std::string& text : foreign) {
    test::TempDir dir;
    const TimingMemory memory(dir.Write("timing", text));
    EXPECT_FALSE(memory.Find("movie", 100)) << text.substr(0, 20);
    EXPECT_FALSE(memory.Remember(Timing("movie"))) << text.substr(0, 20);
    EXPECT_EQ(test::FileContents(memory.Path()), text);
  }
}

TEST(TimingMemory, NeverBlocksOnWhatIsNotARegularFile) {
  test::TempDir dir;
  const auto fifo = dir.Path() / "fifo", link = dir.Path() / "link", folder = dir.Path() / "dir";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(fifo, link);
  std::filesystem::create_directory(folder);
  for (const auto& path : {fifo, link, folder}) {
    EXPECT_EQ(test::RunInChild([&] {
                const TimingMemory memory(path);
                return !memory.Find("movie", 100) && !memory.Remember(Timing("movie")) ? 0 : 1;
              }),
              0)
        << path;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(TimingMemory, MakesPrivateFoldersAndFile) {
  test::TempDir dir;
  const TimingMemory memory(dir.Path() / "state" / "captivo" / "timing");
  ASSERT_TRUE(memory.Remember(Timing("movie")));
  auto mode = [](const std::filesystem::path& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 07777;
  };
  EXPECT_EQ(mode(dir.Path() / "state") & 0077, 0u);
  EXPECT_EQ(mode(dir.Path() / "state" / "captivo") & 0077, 0u);
  EXPECT_EQ(mode(memory.Path()), 0600u);
}

TEST(TimingMemory, AFailedWriteLosesNothing) {
  test::TempDir dir;
  const std::string text = kHeader + Line("movie");
  // A name so long that the temporary file beside it cannot be named: fails even as root.
  const TimingMemory longName(dir.Write(std::string(250, 'n'), text));
  EXPECT_FALSE(longName.Remember(Timing("other")));
  EXPECT_EQ(test::FileContents(longName.Path()), text);
  EXPECT_TRUE(longName.Find("movie", 100));

  // A folder cannot be made below a plain file.
  dir.Write("plain", "");
  EXPECT_FALSE(TimingMemory(dir.Path() / "plain" / "timing").Remember(Timing("movie")));

  if (::geteuid() != 0) {  // root writes anywhere
    const TimingMemory readOnly(dir.Write("ro/timing", text));
    std::filesystem::permissions(
        dir.Path() / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(readOnly.Remember(Timing("other")));
    std::filesystem::permissions(dir.Path() / "ro", std::filesystem::perms::owner_all);
    EXPECT_EQ(test::FileContents(readOnly.Path()), text);
  }
  const RememberedTiming outOfRange[] = {
      {"movie", 1, "", 0, 6, 25, 0, std::nullopt, std::nullopt, std::nullopt},  // no menu choice
      {"movie", 1, "", 0, 0, 0, 0, std::nullopt, std::nullopt, std::nullopt},   // no rate
      {"movie", 1, "", 0, 2, 25, 0, -2, std::nullopt, std::nullopt},            // no such track
      {"movie", 1, "", 0, 2, 25, 0, std::nullopt, -1, std::nullopt},  // None is no audio track
      {"movie", 1, "", 0, 2, 25, 0, std::nullopt, std::nullopt,
       RememberedSecond{"second.srt", std::nullopt, 0, -1, 0}},  // the second without a rate
      {"movie", 1, "", 0, 2, 25, 0, std::nullopt, std::nullopt,
       RememberedSecond{"", -1, 0, 0, 25}},  // no such track
  };
  for (const RememberedTiming& timing : outOfRange)
    EXPECT_FALSE(TimingMemory(dir.Path() / "timing").Remember(timing));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "timing"));
}

TEST(TimingMemory, ForgetsOneMovieAndKeepsTheRest) {
  const std::string text = kHeader + Line("a") + Line("b") + Line("b", 101) + Line("c");
  struct Case {
    const char* movie;
    uint64_t size;
    std::string after;  // the file after
  } cases[] = {
      {"b", 100, kHeader + Line("a") + Line("b", 101) + Line("c")},
      {"a", 100, kHeader + Line("b") + Line("b", 101) + Line("c")},
      {"b", 102, text},  // no such movie: nothing is written
      {"d", 100, text},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const TimingMemory memory(dir.Write("timing", text));
    EXPECT_TRUE(memory.Forget(c.movie, c.size)) << c.movie << " " << c.size;
    EXPECT_EQ(test::FileContents(memory.Path()), c.after) << c.movie << " " << c.size;
    EXPECT_FALSE(memory.Find(c.movie, c.size));
  }
  test::TempDir dir;
  EXPECT_TRUE(TimingMemory(dir.Path() / "timing").Forget("a", 100));  // nothing remembered yet
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "timing"));
  const TimingMemory foreign(dir.Write("foreign", "[Setting]\nOnTop=1\n"));
  EXPECT_FALSE(foreign.Forget("a", 100));
  EXPECT_EQ(test::FileContents(foreign.Path()), "[Setting]\nOnTop=1\n");
}

TEST(TimingMemory, InstancesLeavingMoviesTogetherLoseNone) {
  // Eight instances remember a movie each while four forget one each, all at once.
  test::TempDir dir;
  std::string text = kHeader;
  for (int i = 0; i < 4; ++i) text += Line("old" + std::to_string(i));
  text += Line("kept");
  const TimingMemory memory(dir.Write("timing", text));
  test::StartGate gate;
  std::vector<std::function<int()>> instances;
  for (int i = 0; i < 8; ++i)
    instances.push_back([&, i] {
      gate.Wait();
      return memory.Remember(Timing("new" + std::to_string(i))) ? 0 : 1;
    });
  for (int i = 0; i < 4; ++i)
    instances.push_back([&, i] {
      gate.Wait();
      return memory.Forget("old" + std::to_string(i), 100) ? 0 : 1;
    });
  const auto results = test::RunInChildren(instances, [&] { gate.Open(); });
  EXPECT_EQ(results, std::vector<std::optional<int>>(instances.size(), 0));
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(memory.Find("new" + std::to_string(i), 700 << 20), Timing("new" + std::to_string(i)));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(memory.Find("old" + std::to_string(i), 100));
  EXPECT_TRUE(memory.Find("kept", 100));
  const std::string after = test::FileContents(memory.Path());
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 1 + 8 + 1);
}

}  // namespace
}  // namespace captivo
