#include "line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace captivo {
namespace {

std::vector<std::string> ReadAll(std::string_view bytes) {
  LineReader reader(bytes);
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
      {"a\r", {"a"}},
      {"a\x1a"
       "b\r\nc",
       {"a"}},  // Ctrl-Z ends the file
      {"\x1a"
       "abc",
       {}},
      {"a\r\n\x1a\r\nb", {"a"}},
      {"\r\n\x1a", {""}},
      {"\xEF\xBB\xBF"
       "1\r\n",
       {"1"}},                               // a UTF-8 mark at the start is skipped
      {"x\xEF\xBB\xBF", {"x\xEF\xBB\xBF"}},  // elsewhere it is text
      {"\xEF\xBB\xBF\x1a"
       "1",
       {}},
      {"\xEF\xBB", {"\xEF\xBB"}},  // half a mark is text
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAll(c.bytes), c.lines) << c.bytes;
}

TEST(LineReader, LinesAreTheBytesWhereTheyStand) {
  const std::string bytes = " short \r\n\r\n\t" + std::string(150000, 'y') + " \r\nlast  ";
  LineReader reader(bytes);
  std::string_view first, second, third;
  ASSERT_TRUE(reader.ReadNonEmptyLine(first));
  ASSERT_TRUE(reader.ReadNonEmptyLine(second));
  ASSERT_TRUE(reader.ReadNonEmptyLine(third));
  EXPECT_EQ(first, "short");
  EXPECT_EQ(second.data(), bytes.data() + 12);  // trimmed, never copied
  EXPECT_EQ(second.size(), 150000u);
  EXPECT_EQ(third, "last");
  EXPECT_EQ(first.data(), bytes.data() + 1);  // still valid after the later reads
  EXPECT_FALSE(reader.ReadNonEmptyLine(first));
}

TEST(LineReader, AtEndSeesOnlyWhatIsLeft) {
  LineReader reader("a\r\n\r\n");
  std::string_view line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_FALSE(reader.AtEnd());  // one empty line is left
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "");
  EXPECT_TRUE(reader.AtEnd());

  LineReader cut(
      "a\r\n\x1a"
      "b");
  ASSERT_TRUE(cut.ReadLine(line));
  EXPECT_TRUE(cut.AtEnd());  // what follows a Ctrl-Z is not there
}

}  // namespace
}  // namespace captivo
