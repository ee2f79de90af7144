#include "conversions.h"

#include <gtest/gtest.h>

#include <limits>

#include "errors.h"

namespace captivo {
namespace {

TEST(StrToInt, AcceptsTheStandardForms) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"  42", 42},
      {"+7", 7},
      {"-7", -7},
      {"007", 7},
      {"$1F", 31},
      {"x1f", 31},
      {"X10", 16},
      {"0x10", 16},
      {"0XfF", 255},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"-$80000000", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsEverythingElseNamingTheText) {
  // Hexadecimal values beyond the signed range do not wrap either.
  const char* const rejected[] = {
      "",          " ",         "+",          "-",           "$",
      "0x",        "12 ",       " 1 2",       "1.5",         "\t1",
      "1e3",       "--1",       "2147483648", "-2147483649", "99999999999999999999",
      "$80000000", "$FFFFFFFF", "0x80000000", "-$80000001",  "-$FFFFFFFF",
      "$100000000"};
  for (const char* text : rejected) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

std::string Repeat(std::string_view piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ConversionError, QuotesAtMostAHundredCharactersOfTheField) {
  const std::string longTime = "596524:00:" + std::string(200, '0');  // the total overflows
  struct Case {
    std::string text, quoted;
    int32_t (*convert)(std::string_view);
  } cases[] = {
      {std::string(100, '7'), std::string(100, '7'), StrToInt},
      {std::string(101, '7'), std::string(100, '7') + "...", StrToInt},
      {std::string(10 << 20, '9'), std::string(100, '9') + "...", StrToInt},
      // A cut never splits a UTF-8 character: byte 100 would be the middle of an "é".
      {"x" + Repeat("\xC3\xA9", 60), "x" + Repeat("\xC3\xA9", 49) + "...", StrToInt},
      {longTime, longTime.substr(0, 100) + "...", TimeToSeconds},
  };
  for (const Case& c : cases) {
    try {
      c.convert(c.text);
      ADD_FAILURE() << "accepted " << c.text.size() << " bytes";
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + c.quoted + "' is not a valid integer value");
    }
  }
}

TEST(TimeToSeconds, ReadsHoursMinutesSecondsAndIgnoresTheFraction) {
  struct Case {
    const char* text;
    int32_t seconds;
  } cases[] = {
      {"1:02:03.75", 3723}, {"0:00:01.99", 1},
      {"00:00:05", 5},      {"0:0:0", 0},
      {"1:2:3.", 3723},     {"0:90:90", 5490},
      {"-1:00:00", -3600},  {" 1: 2: 3.5", 3723},
      {"0:0:$10", 16},      {"596523:14:07", 2147483647},
  };
  for (const Case& c : cases) EXPECT_EQ(TimeToSeconds(c.text), c.seconds) << c.text;
}

TEST(TimeToSeconds, FailsOnTheFirstBadPart) {
  struct Case {
    const char* text;
    const char* offending;
  } cases[] = {
      {"", ""},       // no ":" at all: hours are empty
      {"12:34", ""},  // one ":": minutes are empty
      {"a:00:00", "a"},
      {"0:b:00", "b"},
      {"0:0:c.5", "c"},
      {"0:00:01 ", "01 "},  // a trailing blank is not part of a number
      {"0:00:", ""},
      {"3000000000:0:0", "3000000000"},
      {"596523:14:08", "596523:14:08"},  // the total leaves the 32-bit range
  };
  for (const Case& c : cases) {
    try {
      TimeToSeconds(c.text);
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(c.offending) + "' is not a valid integer value")
          << c.text;
    }
  }
}

TEST(TimeWithFraction, KeepsTheFractionSignedAsTheSeconds) {
  struct Case {
    const char* text;
    int32_t seconds;
    int64_t milliseconds;
  } cases[] = {
      {"1:02:03.75", 3723, 3723750},
      {"0:00:01.99", 1, 1990},
      {"0:00:01.5", 1, 1500},  // a fraction, not a count: .5 is half a second
      {"0:00:01.05", 1, 1050},
      {"0:00:01.1239", 1, 1123},  // beyond milliseconds dropped
      {"0:00:05", 5, 5000},
      {"1:2:3.", 3723, 3723000},
      {"0:00:01.x5", 1, 1000},  // no digits: no fraction
      {"0:00:01.5x", 1, 1500},
      {"0:00:-1.50", -1, -1500},
      {"0:00: -0.25", 0, -250},  // the sign of "-0" still counts
      {"-1:00:30.5", -3570, -3569500},
      {"596523:14:07.99", INT32_MAX, int64_t{INT32_MAX} * 1000 + 990},
  };
  for (const Case& c : cases) {
    const FileTime time = TimeWithFraction(c.text);
    EXPECT_EQ(time.whole, c.seconds) << c.text;
    EXPECT_EQ(time.whole, TimeToSeconds(c.text)) << c.text;
    EXPECT_EQ(time.Milliseconds(), c.milliseconds) << c.text;
  }
  EXPECT_THROW(TimeWithFraction("0:x:01.50"), ConversionError);
}

TEST(FileTime, FromMillisecondsSplitsAndHoldsTheRange) {
  struct Case {
    int64_t ms;
    int32_t whole;
    int64_t back;
  } cases[] = {
      {0, 0, 0},
      {1999, 1, 1999},
      {-1500, -1, -1500},
      {int64_t{INT32_MAX} * 1000 + 999, INT32_MAX, int64_t{INT32_MAX} * 1000 + 999},
      {INT64_MAX, INT32_MAX, int64_t{INT32_MAX} * 1000 + 999},
      {INT64_MIN, INT32_MIN, int64_t{INT32_MIN} * 1000 - 999},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileTime::FromMilliseconds(c.ms).whole, c.whole) << c.ms;
    EXPECT_EQ(FileTime::FromMilliseconds(c.ms).Milliseconds(), c.back) << c.ms;
  }
}

TEST(FramesAtMilliseconds, StartOnTheFrameItFallsOnEndOnTheLastFrameBegunBefore) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int64_t ms;
    double rate;
    int32_t at, lastBefore;
  } cases[] = {
      {4000, 25, 100, 99},  // a frame's beginning: the end stops one frame short of it
      {4010, 25, 100, 100},
      {4039, 25, 100, 100},
      {3999, 25, 99, 99},
      {0, 25, 0, -1},
      {-1, 25, -1, -1},
      {-40, 25, -1, -2},
      {125000, 23.976, 2997, 2996},  // 2997 frames exactly, though 23.976 is not in binary
      {4000, 23.976, 95, 95},        // 95.904: inside frame 95
      {100000, 29.97, 2997, 2996},
      {1000, 30, 30, 29},
      {int64_t{INT32_MAX} * 1000, 1, INT32_MAX, INT32_MAX - 1},
      {int64_t{INT32_MAX} * 1000, 23.976, INT32_MAX, INT32_MAX},  // an open end stays open
      {int64_t{INT32_MIN} * 1000, 25, INT32_MIN, INT32_MIN},
      {4000, 0, 0, -1},
      {4000, nan, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameAtMilliseconds(c.ms, c.rate), c.at) << c.ms << " at " << c.rate;
    EXPECT_EQ(LastFrameBeforeMilliseconds(c.ms, c.rate), c.lastBefore) << c.ms << " at " << c.rate;
  }
}

TEST(RoundToInt32, RoundsHalfToEvenAndClamps) {
  struct Case {
    double value;
    int32_t rounded;
  } cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-35.964, -36},
      {239.76, 240},
      {0.49, 0},
      {100.1, 100},
      {1e12, INT32_MAX},
      {-1e12, INT32_MIN},
      {2147483647.0 * 30, INT32_MAX},
      {2147483646.5, 2147483646},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundToInt32(c.value), c.rounded) << c.value;
}

TEST(FormatHms, JoinsWithoutPadding) {
  EXPECT_EQ(FormatHms(0), "0:0:0");
  EXPECT_EQ(FormatHms(59), "0:0:59");
  EXPECT_EQ(FormatHms(3725), "1:2:5");
  EXPECT_EQ(FormatHms(3600), "1:0:0");
  EXPECT_EQ(FormatHms(-3725), "-1:-2:-5");  // division truncates toward zero
}

TEST(FormatReal, ShortestGeneralForm) {
  EXPECT_EQ(FormatReal(23.976), "23.976");
  EXPECT_EQ(FormatReal(25.0), "25");
  EXPECT_EQ(FormatReal(29.97), "29.97");
  EXPECT_EQ(FormatReal(24000.0 / 1001.0), "23.976023976024");
  EXPECT_EQ(FormatReal(23.976, ","), "23,976");
  EXPECT_EQ(FormatReal(29.97, "\xD9\xAB"),
            "29\xD9\xAB"
            "97");
  EXPECT_EQ(FormatReal(0.0), "0");
}

}  // namespace
}  // namespace captivo
