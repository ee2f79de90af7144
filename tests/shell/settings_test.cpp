#include "settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "profile_file.h"
#include "test_processes.h"
#include "test_support.h"

namespace captivo {
namespace {

// The four values an instance keeps, the rest at their defaults.
Settings Values(bool onTop, int32_t lastProcess, int volume, bool muted) {
  Settings settings;
  settings.onTop = onTop;
  settings.lastProcess = lastProcess;
  settings.volume = volume;
  settings.muted = muted;
  return settings;
}

TEST(Settings, ValuesAndTheirDefaults) {
  struct Case {
    const char* file;
    bool onTop;
    int32_t lastProcess;
    int volume;
    bool muted;
  } cases[] = {
      {"", true, -1, 100, false},
      {"[Setting]\nOnTop=0\n", false, -1, 100, false},
      {"[Setting]\nOnTop=7\n", true, -1, 100, false},
      {"[Setting]\nOnTop=yes\n", true, -1, 100, false},
      {"[Setting]\nOnTop=0x0\n", false, -1, 100, false},
      {"[Setting]\nOnTop=\n", true, -1, 100, false},
      {"[Other]\nOnTop=0\n", true, -1, 100, false},
      {"[LastProcessHandle]\nHandle=888\n", true, 888, 100, false},
      {"[LastProcessHandle]\nHandle=abc\n", true, -1, 100, false},
      {"[Volume]\nLevel=40\nMute=1\n", true, -1, 40, true},
      {"[volume]\n level = 0 \nmute=0\n", true, -1, 0, false},
      {"[Volume]\nLevel=100\n", true, -1, 100, false},
      {"[Volume]\nLevel=101\nMute=2\n", true, -1, 100, false},
      {"[Volume]\nLevel=-1\nMute=-1\n", true, -1, 100, false},
      {"[Volume]\nLevel=99999999999\n", true, -1, 100, false},
      {"[Volume]\nLevel=loud\nMute=yes\n", true, -1, 100, false},
      {"[Volume]\nLevel=50%\nMute=1x\n", true, -1, 100, false},
      {"[Volume]\nLevel=\nMute=\n", true, -1, 100, false},
      {"[Setting]\nLevel=40\nMute=1\n", true, -1, 100, false},
      {"\x01\x02\xff\n[Setting\nOnTop=0\n", true, -1, 100, false},  // binary: no section was opened
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    const Settings settings = ReadSettingsFile(dir.Write("set.ini", c.file));
    EXPECT_EQ(settings.onTop, c.onTop) << c.file;
    EXPECT_EQ(settings.lastProcess, c.lastProcess) << c.file;
    EXPECT_EQ(settings.volume, c.volume) << c.file;
    EXPECT_EQ(settings.muted, c.muted) << c.file;
  }
}

TEST(Settings, SubtitleKeysAreReadAndExactTimesWrittenOnlyWhenChanged) {
  struct Case {
    const char* file;
    bool exactTimes;
    const char* subtitleLanguages;
    const char* audioLanguages;
  } cases[] = {
      {"", false, "", ""},
      {"[Subtitles]\nExactTimes=1\nLanguages= fr, en \n[Audio]\nLanguages=ja\n", true, "fr, en",
       "ja"},
      {"[subtitles]\nexacttimes=0\n", false, "", ""},
      {"[Subtitles]\nExactTimes=maybe\n", false, "", ""},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    const Settings settings = ReadSettingsFile(dir.Write("set.ini", c.file));
    EXPECT_EQ(settings.exactTimes, c.exactTimes) << c.file;
    EXPECT_EQ(settings.subtitleLanguages, c.subtitleLanguages) << c.file;
    EXPECT_EQ(settings.audioLanguages, c.audioLanguages) << c.file;
  }
  // A close that left the switch alone writes no key for it; one that turned it on does.
  const std::string path = dir.Write("set.ini", "[Subtitles]\nLanguages=fr\n");
  const Settings atStart = ReadSettingsFile(path);
  WriteSettingsFile(path, atStart, atStart);
  EXPECT_EQ(ProfileFile(path).Read("Subtitles", "ExactTimes"), std::nullopt);
  Settings now = atStart;
  now.exactTimes = true;
  WriteSettingsFile(path, atStart, now);
  EXPECT_EQ(ProfileFile(path).Read("Subtitles", "ExactTimes"), std::optional<std::string>("1"));
  EXPECT_EQ(ProfileFile(path).Read("Subtitles", "Languages"), std::optional<std::string>("fr"));
}

TEST(Settings, ACloseWritesWhatTheInstanceChangedOntoTheFileAsItIsThen) {
  const std::string file =
      "; kept\r\n[Window]\nLeft=3\n\n[Volume]\nLevel=7\nOther = x \nMute=1\n[Setting]\n"
      "OnTop=1\n[LastProcessHandle]\nHandle=12\n";
  // `file` with the values of `level`, `mute` and `onTop` in place and Handle=99.
  auto with = [&](const char* level, const char* mute, const char* onTop) {
    std::string text = file;
    text.replace(text.find("Level=7"), 7, std::string("Level=") + level);
    text.replace(text.find("Mute=1"), 6, std::string("Mute=") + mute);
    text.replace(text.find("OnTop=1"), 7, std::string("OnTop=") + onTop);
    text.replace(text.find("Handle=12"), 9, "Handle=99");
    return text;
  };
  struct Case {
    std::string atStart, atClose;  // the file as the instance read it, and as it is now
    Settings now;                  // the instance's values at its close
    std::string written;
  } cases[] = {
      {file, file, Values(true, 99, 7, true), with("7", "1", "1")},
      {file, file, Values(false, 99, 7, true), with("7", "1", "0")},
      {file, file, Values(true, 99, 40, false), with("40", "0", "1")},
      {file, file, Values(true, 99, 250, true), with("100", "1", "1")},
      {file, file, Values(true, 99, -5, true), with("0", "1", "1")},
      // Another instance changed keys meanwhile: those this one did not change keep them.
      {file, with("55", "0", "0"), Values(true, 99, 7, true), with("55", "0", "0")},
      {file, with("55", "1", "0"), Values(true, 99, 40, true), with("40", "1", "0")},
      {file, with("55", "1", "1"), Values(false, 99, 7, false), with("55", "0", "0")},
      // Keys the file lacks, or holds unreadably, get the instance's values.
      {file, "", Values(true, 99, 7, true),
       "[Setting]\nOnTop=1\n[LastProcessHandle]\nHandle=99\n[Volume]\nLevel=7\nMute=1\n"},
      {"[Setting]\nOnTop=yes\n[Volume]\nLevel=250\n", "[Setting]\nOnTop=yes\n[Volume]\nLevel=250\n",
       Values(true, 99, 100, false),
       "[Setting]\nOnTop=1\n[Volume]\nLevel=100\nMute=0\n[LastProcessHandle]\nHandle=99\n"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.Write("set.ini", c.atStart);
    const Settings atStart = ReadSettingsFile(path);
    dir.Write("set.ini", c.atClose);
    WriteSettingsFile(path, atStart, c.now);
    EXPECT_EQ(test::FileContents(path), c.written) << c.atClose << c.now.volume;
  }
}

TEST(Settings, WritingCreatesTheConfigFolder) {
  test::TempDir dir;
  const auto nested = dir.Path() / "config" / "captivo" / "set.ini";
  WriteSettingsFile(nested, Settings(), Values(false, 5, 55, true));
  const Settings read = ReadSettingsFile(nested);
  EXPECT_FALSE(read.onTop);
  EXPECT_EQ(read.lastProcess, 5);
  EXPECT_EQ(read.volume, 55);
  EXPECT_TRUE(read.muted);
}

TEST(Settings, InstancesClosingTogetherKeepEachOthersChanges) {
  test::TempDir dir;
  const std::string path = dir.Write("set.ini", "[Window]\nLeft=3\n");
  const Settings atStart = ReadSettingsFile(path);
  // Each of eight instances changed one value, or none; all close at once.
  const std::function<void(Settings&)> changes[] = {
      [](Settings& s) { s.onTop = false; },
      [](Settings& s) { s.volume = 40; },
      [](Settings& s) { s.muted = true; },
      [](Settings&) {},
      [](Settings&) {},
      [](Settings&) {},
      [](Settings&) {},
      [](Settings&) {},
  };
  test::StartGate gate;
  std::vector<std::function<int()>> instances;
  for (const auto& change : changes)
    instances.push_back([&] {
      Settings now = atStart;
      now.lastProcess = ::getpid();
      change(now);
      gate.Wait();
      try {
        WriteSettingsFile(path, atStart, now);
      } catch (const SettingsWriteError&) {
        return 1;
      }
      return 0;
    });
  const auto results = test::RunInChildren(instances, [&] { gate.Open(); });
  EXPECT_EQ(results, std::vector<std::optional<int>>(instances.size(), 0));
  const Settings read = ReadSettingsFile(path);
  EXPECT_FALSE(read.onTop);
  EXPECT_EQ(read.volume, 40);
  EXPECT_TRUE(read.muted);
  EXPECT_NE(read.lastProcess, -1);
  EXPECT_EQ(ProfileFile(path).Read("Window", "Left"), "3");
}

TEST(Settings, AFailedWriteNamesTheFile) {
  test::TempDir dir;
  const std::filesystem::path path = std::filesystem::path(dir.Write("plain", "")) / "set.ini";
  try {
    WriteSettingsFile(path, Settings(), Settings());
    ADD_FAILURE();
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(e.what(), "Unable to write to " + path.string());
  }
}

TEST(Settings, LivesBesideTheProgramUnlessThatFolderIsNotOurs) {
  test::TempDir dir;
  const auto program = dir.Path() / "bin", config = dir.Path() / "config";
  std::filesystem::create_directories(program);
  EXPECT_EQ(SettingsFilePath(program, config), program / "set.ini");  // writable
  EXPECT_EQ(SettingsFilePath(dir.Path() / "plain-file-folder", config), config / "set.ini");
  if (::geteuid() != 0) {  // root writes anywhere
    std::filesystem::permissions(
        program, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(SettingsFilePath(program, config), config / "set.ini");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  }
  dir.Write("bin/set.ini", "[Setting]\nOnTop=0\n");
  EXPECT_EQ(SettingsFilePath(program, config), program / "set.ini");  // there already
}

TEST(Settings, AnInstalledProgramsFolderIsNeverUsedEvenByRoot) {
  const std::filesystem::path config = "/home/someone/.config/captivo";
  for (const char* folder : {"/usr/bin", "/usr/local/bin", "/opt/captivo/bin", "/usr", "/opt"})
    EXPECT_EQ(SettingsFilePath(folder, config), config / "set.ini") << folder;
}

TEST(Settings, AFifoInPlaceOfTheFileIsNeitherReadNorWritten) {
  test::TempDir dir;
  const auto fifo = dir.Path() / "set.ini", link = dir.Path() / "link.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(fifo, link);
  for (const auto& path : {fifo, link}) {
    EXPECT_EQ(test::RunInChild([&] {
                const Settings read = ReadSettingsFile(path);
                return read.onTop && read.lastProcess == -1 ? 0 : 1;
              }),
              0)
        << path;
    EXPECT_EQ(test::RunInChild([&] {
                try {
                  WriteSettingsFile(path, Settings(), Values(false, 1, 100, false));
                } catch (const SettingsWriteError&) {
                  return 0;
                }
                return 1;
              }),
              0)
        << path;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
}

}  // namespace
}  // namespace captivo
