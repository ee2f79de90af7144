#include "profile_file.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace captivo {
namespace {

TEST(ProfileFile, ReadsSectionsAndKeysWithoutRegardToCase) {
  test::TempDir dir;
  const ProfileFile file(dir.Write("set.ini",
                                   "; comment\n[Other]\nOnTop=5\n[ setting ]\r\n onTop = 0 \r\n"
                                   "empty=\n[LastProcessHandle]\nHandle=888\n"));
  EXPECT_EQ(file.Read("Setting", "OnTop"), "0");
  EXPECT_EQ(file.Read("SETTING", "Empty"), "");
  EXPECT_EQ(file.Read("LastProcessHandle", "Handle"), "888");
  EXPECT_EQ(file.Read("Setting", "Missing"), std::nullopt);
  EXPECT_EQ(file.Read("Missing", "OnTop"), std::nullopt);
}

TEST(ProfileFile, WritesKeepEveryOtherLine) {
  test::TempDir dir;
  const std::string path = dir.Write("set.ini",
                                     "; keep me\r\n[Setting]\r\nOnTop=1\r\nColour=red\r\n\r\n"
                                     "[Window]\nLeft=3\n");
  ProfileFile file(path);
  file.Write("setting", "ontop", "0");              // replaced where it stands
  file.Write("Setting", "Font", "Arial");           // a new key after the section's last key
  file.Write("LastProcessHandle", "Handle", "42");  // a new section at the end
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(test::FileContents(path),
            "; keep me\r\n[Setting]\r\nontop=0\nColour=red\r\nFont=Arial\n\r\n"
            "[Window]\nLeft=3\n[LastProcessHandle]\nHandle=42\n");
}

TEST(ProfileFile, AMissingFileIsCreated) {
  test::TempDir dir;
  ProfileFile file(dir.Path() / "set.ini");
  file.Write("Setting", "OnTop", "0");
  file.Write("LastProcessHandle", "Handle", "888");
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(test::FileContents(dir.Path() / "set.ini"),
            "[Setting]\nOnTop=0\n[LastProcessHandle]\nHandle=888\n");
}

TEST(ProfileFile, WhatCannotBeReadIsNeverOverwritten) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "folder.ini");
  ProfileFile folder(dir.Path() / "folder.ini");
  EXPECT_EQ(folder.Read("Setting", "OnTop"), std::nullopt);
  folder.Write("Setting", "OnTop", "1");
  EXPECT_FALSE(folder.Save());
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder.ini"));

  const std::string huge =
      dir.Write("huge.ini", "[Setting]\nOnTop=0\n" + std::string(17 << 20, 'x'));
  ProfileFile large(huge);
  EXPECT_EQ(large.Read("Setting", "OnTop"), std::nullopt);
  EXPECT_FALSE(large.Save());
  EXPECT_EQ(std::filesystem::file_size(huge), 18u + (17u << 20));
}

TEST(ProfileFile, AReadOnlyFileIsNeverReplacedEvenByRoot) {
  test::TempDir dir;
  const std::string path = dir.Write("set.ini", "[Setting]\nOnTop=1\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  ProfileFile file(path);
  file.Write("Setting", "OnTop", "0");
  EXPECT_FALSE(file.Save());
  EXPECT_EQ(test::FileContents(path), "[Setting]\nOnTop=1\n");
}

TEST(ProfileFile, ARewrittenFileKeepsItsMode) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  for (const fs::perms mode : {fs::perms::owner_read | fs::perms::owner_write,
                               fs::perms::owner_read | fs::perms::owner_write |
                                   fs::perms::group_read | fs::perms::group_write}) {
    const std::string path = dir.Write("set.ini", "[Setting]\nOnTop=1\n");
    fs::permissions(path, mode);
    ProfileFile file(path);
    file.Write("Setting", "OnTop", "0");
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(fs::status(path).permissions(), mode);
  }
}

TEST(ProfileFile, SaveFailsInAFolderThatCannotTakeIt) {
  test::TempDir dir;
  const std::filesystem::path below = std::filesystem::path(dir.Write("plain", "")) / "set.ini";
  ProfileFile file(below);
  file.Write("Setting", "OnTop", "1");
  EXPECT_FALSE(file.Save());
}

TEST(ProfileInteger, ReadsDecimalAndHexadecimal) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"0", 0},
      {"7", 7},
      {"-1", -1},
      {"+3", 3},
      {" 12 ", 12},
      {"0x0", 0},
      {"0X1f", 31},
      {"0x", {}},
      {"yes", {}},
      {"", {}},
      {"1.0", {}},
      {"12a", {}},
      {"--1", {}},
      {"2147483647", 2147483647},
      {"2147483648", {}},
      {"-2147483648", INT32_MIN},
      {"0x7FFFFFFF", 2147483647},
      {"0xFFFFFFFF", {}},
      {"$10", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseProfileInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace captivo
