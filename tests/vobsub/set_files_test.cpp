// The set reader on what lies at the set's paths, and the bound on what it keeps of a
// hostile index's problems.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_support.h"
#include "vobsub_set.h"
#include "vobsub_writer.h"

namespace captivo {
namespace {

TEST(VobSubSetFiles, OnlyRegularFilesAreRead) {
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  test::WriteVobSub(base,
                    {{"en", 0, {test::MakePicture(1000, 0, 4, 2, [](int, int) { return 1; })}}},
                    test::TestPalette());
  vobsub::VobSubSet set;
  ASSERT_TRUE(set.Load(base));
  EXPECT_EQ(set.Languages().size(), 1u);
  for (const std::string extension : {".sub", ".idx"}) {
    SCOPED_TRACE(extension);
    const std::string path = base + extension, kept = path + ".kept";
    std::filesystem::rename(path, kept);
    EXPECT_FALSE(set.Load(base));  // missing
    EXPECT_TRUE(set.Languages().empty());
    std::filesystem::create_directory(path);
    EXPECT_FALSE(set.Load(base));
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(set.Load(base));  // and returns at once: nobody writes to the FIFO
    EXPECT_EQ(set.Problems().Lines(),
              std::vector<std::string>{"cannot open " + path + " as a regular file"});
    std::filesystem::remove(path);
    std::filesystem::rename(kept, path);
  }
}

TEST(VobSubSetFiles, AnIndexFullOfProblemsKeepsTheFirstTwoHundred) {
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  std::string index;
  for (int i = 0; i < 1000; ++i) index += "timestamp: broken\n";
  std::ofstream(base + ".idx") << index;
  std::ofstream(base + ".sub") << "";
  vobsub::VobSubSet set;
  ASSERT_TRUE(set.Load(base));
  const std::vector<std::string> lines = set.Problems().Lines();
  ASSERT_EQ(lines.size(), 201u);
  EXPECT_EQ(lines.front(), "index line 1: unreadable timestamp line, picture skipped");
  EXPECT_EQ(lines[199], "index line 200: unreadable timestamp line, picture skipped");
  EXPECT_EQ(lines.back(), "800 more problems left out");
}

TEST(VobSubSetFiles, AJunkSubUnderManyTimestampsIsNotSearchedWithoutEnd) {
  // 128 places, a quarter of a megabyte apart, in 1 MB of zeros: searching them all
  // would cost more than the file's size allows.
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  std::string index;
  for (int language = 0; language < 32; ++language) {
    index += "id: en, index: " + std::to_string(language) + "\n";
    for (size_t place = 0; place < 4; ++place) index += test::TimestampLine(1000, place << 18);
  }
  std::ofstream(base + ".idx") << index;
  std::ofstream(base + ".sub");
  std::filesystem::resize_file(base + ".sub", 1 << 20);
  vobsub::VobSubSet set;
  ASSERT_TRUE(set.Load(base));
  const std::vector<std::string> lines = set.Problems().Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(
      lines.back().ends_with("pictures not looked for: the .sub holds too much that is no picture"))
      << lines.back();
  EXPECT_LT(lines.size(), 128u);
}

}  // namespace
}  // namespace captivo
