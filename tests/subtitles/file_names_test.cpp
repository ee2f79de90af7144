#include "file_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "test_support.h"

namespace captivo {
namespace {

TEST(FileNames, ExtensionsOfTheFileNameOnly) {
  struct Case {
    std::string path, base, extension;
  } cases[] = {
      {"/films/Film.AVI", "/films/Film", ".avi"},
      {"/films/film.part1.srt", "/films/film.part1", ".srt"},
      {"/films.d/film", "/films.d/film", ""},  // a point in a folder's name is no extension
      {"/films/.hidden", "/films/", ".hidden"},
      {"/films/caf\xe9-\xff.IDX", "/films/caf\xe9-\xff", ".idx"},  // bytes kept as they are
      {"film", "film", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithoutExtension(c.path), c.base) << c.path;
    EXPECT_EQ(LowerCaseExtension(c.path), c.extension) << c.path;
  }
}

TEST(FileNames, CommandLineNamesBecomeAbsolutePaths) {
  char* folder = ::getcwd(nullptr, 0);
  const std::string cwd = folder;
  std::free(folder);
  EXPECT_EQ(AbsoluteLocalPath("/films/a.avi"), "/films/a.avi");
  EXPECT_EQ(AbsoluteLocalPath("a.avi"), cwd + "/a.avi");
  // An address is a name like any other: it names no file beside the current folder.
  EXPECT_EQ(AbsoluteLocalPath("av://lavfi:testsrc"), cwd + "/av://lavfi:testsrc");
  EXPECT_EQ(AbsoluteLocalPath("caf\xe9.avi"), cwd + "/caf\xe9.avi");
}

TEST(FileNames, OnlyRegularFilesCount) {
  test::TempDir dir;
  const std::string file = dir.Write("caf\xe9.srt", "1\n");
  EXPECT_TRUE(IsRegularFile(file));
  EXPECT_FALSE(IsRegularFile(dir.Path().string()));
  EXPECT_FALSE(IsRegularFile(dir.Path().string() + "/missing.srt"));
}

TEST(FileNames, AVobSubSetNeedsBothOfItsFiles) {
  test::TempDir dir;
  const std::string base = dir.Path().string() + "/film";
  dir.Write("film.idx", "");
  dir.Write("film.sub", "");
  dir.Write("lonely.idx", "");
  dir.Write("other.srt", "");
  dir.Write("other.sub", "");
  std::filesystem::create_directory(dir.Path() / "folder.idx");
  dir.Write("folder.sub", "");
  struct Case {
    std::string name;
    std::optional<std::string> base;
  } cases[] = {
      {"film.idx", base}, {"film.SUB", base}, {"film.Ifo", base},
      {"film.srt", {}},   {"lonely.idx", {}}, {"other.srt", {}},
      {"other.sub", {}},  {"folder.sub", {}},  // an ".idx" that is a folder is no set
  };
  for (const Case& c : cases)
    EXPECT_EQ(VobSubSetBase(dir.Path().string() + "/" + c.name), c.base) << c.name;
}

}  // namespace
}  // namespace captivo
