#include "file_bytes.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "errors.h"
#include "test_support.h"

namespace captivo {
namespace {

TEST(FileBytes, ReadsEveryByteOfARegularFile) {
  test::TempDir dir;
  std::string large;
  for (int i = 0; i < 300000; ++i) large += static_cast<char>(i * 7);
  for (const std::string& bytes : {std::string(), std::string("a\0b", 3), large}) {
    FileBytes read = FileBytes::Read(dir.Write("f", bytes));
    EXPECT_EQ(read.View(), bytes);
    const FileBytes moved = std::move(read);  // the bytes stay where they are
    EXPECT_EQ(moved.View(), bytes);
  }
}

TEST(FileBytes, ReadsAFileTheKernelGivesNoSize) {
  // Files under /proc claim a size of 0: they are read to their end.
  const FileBytes status = FileBytes::Read("/proc/self/status");
  EXPECT_TRUE(status.View().starts_with("Name:")) << status.View();
}

TEST(FileBytes, OnlyRegularFilesOpen) {
  test::TempDir dir;
  const std::string fifo = (dir.Path() / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path :
       {(dir.Path() / "missing").string(), dir.Path().string(), std::string("/dev/null"), fifo}) {
    try {
      FileBytes::Read(path);
      ADD_FAILURE() << "opened " << path;
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), "Cannot open file " + path);
    }
  }
}

}  // namespace
}  // namespace captivo
