#include "settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "profile_file.h"
#include "test_processes.h"
#include "test_support.h"

namespace captivo {
namespace {

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

TEST(Settings, WritingTheVolumeKeepsEveryOtherLine) {
  const std::string before =
      "; kept\r\n[Window]\nLeft=3\n\n[Volume]\nLevel=7\nOther = x \n[Setting]\nOnTop=1\n";
  struct Case {
    int volume;
    bool muted;
    const char* level;
    const char* mute;
  } cases[] = {
      {40, true, "40", "1"}, {0, false, "0", "0"}, {250, false, "100", "0"}, {-5, true, "0", "1"}};
  test::TempDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.Write("set.ini", before);
    WriteVolumeSettings(path, c.volume, c.muted);
    const ProfileFile file(path);
    EXPECT_EQ(file.Read("Volume", "Level"), c.level);
    EXPECT_EQ(file.Read("Volume", "Mute"), c.mute);
    const Settings read = ReadSettingsFile(path);
    EXPECT_EQ(std::to_string(read.volume), c.level);
    EXPECT_EQ(read.muted, c.muted);
    std::string expected = before;
    expected.replace(expected.find("Level=7"), 7, std::string("Level=") + c.level);
    expected.replace(expected.find("Other = x \n") + 11, 0, std::string("Mute=") + c.mute + "\n");
    EXPECT_EQ(test::FileContents(path), expected) << c.volume;
  }
  const auto nested = dir.Path() / "config" / "captivo" / "set.ini";
  WriteVolumeSettings(nested, 55, false);
  EXPECT_EQ(ReadSettingsFile(nested).volume, 55);
}

TEST(Settings, WritingKeepsOtherSectionsAndCreatesTheConfigFolder) {
  test::TempDir dir;
  const std::string path = dir.Write("set.ini", "[Window]\nLeft=3\n[Setting]\nOnTop=1\n");
  WriteSettingsFile(path, false, 888);
  const ProfileFile file(path);
  EXPECT_EQ(file.Read("Window", "Left"), "3");
  EXPECT_EQ(file.Read("Setting", "OnTop"), "0");
  EXPECT_EQ(file.Read("LastProcessHandle", "Handle"), "888");

  const auto nested = dir.Path() / "config" / "captivo" / "set.ini";
  WriteSettingsFile(nested, true, 5);
  EXPECT_EQ(ProfileFile(nested).Read("Setting", "OnTop"), "1");
}

TEST(Settings, AFailedWriteNamesTheFile) {
  test::TempDir dir;
  const std::filesystem::path path = std::filesystem::path(dir.Write("plain", "")) / "set.ini";
  try {
    WriteSettingsFile(path, true, 1);
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
                  WriteSettingsFile(path, false, 1);
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
