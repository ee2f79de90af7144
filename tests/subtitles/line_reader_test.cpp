#include "line_reader.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "test_support.h"

namespace captivo {
namespace {

std::vector<std::string> ReadAll(const std::string& path) {
  LineReader reader(path);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  EXPECT_TRUE(reader.AtEnd());
  return lines;
}

TEST(LineReader, SplitsByTheSharedRules) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},      // LF alone ends a line too
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\x1a"
       "b\r\nc",
       {"a"}},  // Ctrl-Z ends the file
      {"\x1a"
       "abc",
       {}},
      {"\xEF\xBB\xBF"
       "1\r\n",
       {"1"}},                               // a UTF-8 mark at the start is skipped
      {"x\xEF\xBB\xBF", {"x\xEF\xBB\xBF"}},  // elsewhere it is text
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
  };
  test::TempDir dir;
  for (const Case& c : cases) EXPECT_EQ(ReadAll(dir.Write("f", c.bytes)), c.lines) << c.bytes;
}

TEST(LineReader, LinesCrossingBlocksStayWhole) {
  test::TempDir dir;
  const std::string longLine(200000, 'x');
  // The CR of a CR LF pair lands on the last byte of the first 64 KiB block.
  const std::string first(65535, 'a');
  const std::string bytes = first + "\r\n" + longLine + "\rtail";
  EXPECT_EQ(ReadAll(dir.Write("f", bytes)), (std::vector<std::string>{first, longLine, "tail"}));
}

TEST(LineReader, TakenLinesAreTrimmedAndOutliveTheNextRead) {
  test::TempDir dir;
  const std::string longLine(150000, 'y');  // crosses blocks: handed over, not copied
  LineReader reader(
      dir.Write("f", " short \r\n\r\n\t" + longLine + " \r\n" + longLine + "\nlast  "));
  std::string first, second, third, fourth;
  ASSERT_TRUE(reader.TakeNonEmptyLine(first));
  ASSERT_TRUE(reader.TakeNonEmptyLine(second));
  ASSERT_TRUE(reader.TakeNonEmptyLine(third));
  ASSERT_TRUE(reader.TakeNonEmptyLine(fourth));
  EXPECT_EQ(first, "short");
  EXPECT_EQ(second, longLine);
  EXPECT_EQ(third, longLine);
  EXPECT_EQ(fourth, "last");
  EXPECT_FALSE(reader.TakeNonEmptyLine(first));
  EXPECT_EQ(first, "short");  // left as it was at the end
}

TEST(LineReader, AtEndSeesOnlyWhatIsLeft) {
  test::TempDir dir;
  LineReader reader(dir.Write("f", "a\r\n\r\n"));
  std::string_view line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_FALSE(reader.AtEnd());  // one empty line is left
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "");
  EXPECT_TRUE(reader.AtEnd());
}

TEST(LineReader, OnlyRegularFilesOpen) {
  test::TempDir dir;
  for (const std::string& path :
       {(dir.Path() / "missing").string(), dir.Path().string(), std::string("/dev/null")}) {
    try {
      LineReader reader(path);
      ADD_FAILURE() << "opened " << path;
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), "Cannot open file " + path);
    }
  }
}

}  // namespace
}  // namespace captivo
