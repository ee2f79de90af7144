#include "text_rules.h"

#include <gtest/gtest.h>

namespace captivo {
namespace {

TEST(TextRules, TrimRemovesCodesUpTo32FromBothEnds) {
  EXPECT_EQ(Trim(std::string_view(" \t\x01\0 abc d\x1f \x20", 12)), "abc d");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // 160 is not a blank
  EXPECT_EQ(Trim(" \r\n "), "");
}

TEST(TextRules, NumberTests) {
  struct Case {
    const char* text;
    bool isNumber, digitsOrEmpty;
  } cases[] = {
      {"", false, true},    {"0", true, true},    {"0123", true, true}, {"12 ", false, false},
      {"-1", false, false}, {"+1", false, false}, {"1a", false, false}, {"\xD9", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNumber(c.text), c.isNumber) << c.text;
    EXPECT_EQ(IsDigitsOrEmpty(c.text), c.digitsOrEmpty) << c.text;
  }
}

TEST(TextRules, BeforeAndAfterCutAtTheFirstSeparator) {
  EXPECT_EQ(Before("a,b,c", ','), "a");
  EXPECT_EQ(After("a,b,c", ','), "b,c");
  EXPECT_EQ(Before("abc", ','), "");    // no separator: nothing before it
  EXPECT_EQ(After("abc", ','), "abc");  // and nothing dropped
}

TEST(TextRules, LineBreakMarkersBecomeCrLf) {
  struct Case {
    const char* text;
    const char* marker;
    bool ignoreCase;
    const char* expected;
  } cases[] = {
      {"a|b||c", "|", false, "a\r\nb\r\n\r\nc"},
      {"x\\Ny\\nz\\q", "\\n", true, "x\r\ny\r\nz\\q"},
      {"x\\Ny", "\\n", false, "x\\Ny"},
      {"one[BR]two[br]three[Br", "[br]", true, "one\r\ntwo\r\nthree[Br"},
      {"|", "|", false, "\r\n"},
      {"", "|", false, ""},
  };
  for (const Case& c : cases) {
    const WithLineBreaks text(c.text, c.marker, c.ignoreCase);
    std::string out(text.Size(), '?');
    text.WriteTo(out.data());
    EXPECT_EQ(out, c.expected) << c.text;
  }
}

}  // namespace
}  // namespace captivo
