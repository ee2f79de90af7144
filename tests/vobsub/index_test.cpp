// Index files at their edges: delays, language indexes, lines that do not check out,
// stream switches, palettes. The pictures stay those the writer put in the ".sub".
#include <gtest/gtest.h>

#include <fstream>

#include "library_probe.h"
#include "test_support.h"

namespace captivo {
namespace {

using test::At;
using test::Framed;

std::string PaletteLine() {
  std::string line = "palette: ";
  for (const uint32_t colour : test::TestPalette()) {
    char text[16];
    std::snprintf(text, sizeof text, "%06x, ", colour);
    line += text;
  }
  return line.substr(0, line.size() - 2) + "\n";
}

// The starts of the pictures language `language` shows from -1 s to 12 s.
std::vector<int32_t> Starts(int32_t language) {
  SetCurrentLang(language);
  std::vector<int32_t> starts;
  int32_t last = -1;
  for (int32_t ms = -1000; ms < 12000; ms += 10) {
    const auto shown = At(ms);
    const int32_t id = shown ? shown->id : -1;
    if (id >= 0 && id != last) starts.push_back(ms);
    last = id;
  }
  return starts;
}

// English pictures at 1 and 3 s, German at 2 s, each lasting half a second; the tests
// write their own index beside them.
class VobSubIndexLines : public ::testing::Test {
 protected:
  void SetUp() override {
    positions_ = test::WriteVobSub(base_,
                                   {{"en", 0, {Framed(1000, 500, 8, 4), Framed(3000, 500, 8, 4)}},
                                    {"de", 1, {Framed(2000, 500, 8, 4)}}},
                                   test::TestPalette());
  }
  void LoadIndex(const std::string& text) {
    std::ofstream(base_ + ".idx", std::ios::binary) << text;
    LoadVobSubFile(base_.c_str());
  }
  std::string English(const std::string& between = "") const {
    return "id: en, index: 0\n" + test::TimestampLine(1000, positions_[0][0]) + between +
           test::TimestampLine(3000, positions_[0][1]);
  }
  std::string German() const {
    return "id: de, index: 1\n" + test::TimestampLine(2000, positions_[1][0]);
  }

  test::TempDir dir_;
  const std::string base_ = (dir_.Path() / "set").string();
  std::vector<std::vector<size_t>> positions_;
};

TEST_F(VobSubIndexLines, AsWritten) {
  LoadIndex(PaletteLine() + English() + German());
  EXPECT_EQ(GetLangNum(), 1);
  EXPECT_EQ(Starts(0), (std::vector<int32_t>{1000, 3000}));
  EXPECT_EQ(Starts(1), (std::vector<int32_t>{2000}));
}

TEST_F(VobSubIndexLines, DelaysMoveLaterTimestampsWithinBounds) {
  const struct {
    const char* delay;
    std::vector<int32_t> starts;
  } cases[] = {
      {"delay: 00:00:01:000\n", {2000, 4000}},
      {"delay: +00:00:01:000\n", {2000, 4000}},
      {"delay: -00:00:00:500\n", {500, 2500}},
      {"delay: 2147483647:2147483647:2147483647:2147483647\n", {1000, 3000}},  // ignored
      {"delay: 00:61:00:000\n", {1000, 3000}},                                 // ignored
      {"delay: 500:00:00:000\n", {}},  // beyond every moment asked
      {"delay: -99:00:00:000\n", {}},  // before every moment asked
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.delay);
    LoadIndex(PaletteLine() + c.delay + English());
    EXPECT_EQ(Starts(0), c.starts);
  }
  // Far before zero, each picture still ends after its half second.
  LoadIndex(PaletteLine() + "delay: -99:00:00:000\n" + English());
  SetCurrentLang(0);
  constexpr int32_t kDelay = -99 * 3600 * 1000;
  EXPECT_TRUE(At(kDelay + 3100));
  EXPECT_FALSE(At(kDelay + 3600));
}

TEST_F(VobSubIndexLines, LanguageIndexesPastThirtyOneAreSkipped) {
  LoadIndex(PaletteLine() + "id: xx, index: 32\n" + test::TimestampLine(1000, positions_[0][0]) +
            "id: yy, index: 4294967294\n" + test::TimestampLine(1000, positions_[0][0]) +
            "id: zz, index: -1\n" + test::TimestampLine(1000, positions_[0][0]) + English());
  EXPECT_EQ(GetLangNum(), 0);
  EXPECT_EQ(test::LangName(0), "English");
  EXPECT_EQ(Starts(0), (std::vector<int32_t>{1000, 3000}));
}

TEST_F(VobSubIndexLines, TenThousandEmptyIdLinesMakeNoLanguage) {
  std::string index = PaletteLine();
  for (int i = 0; i < 10000; ++i)
    index += "id: x" + std::to_string(i) + ", index: " + std::to_string(i % 32) + "\n";
  LoadIndex(index + English());
  EXPECT_EQ(GetLangNum(), 0);
  EXPECT_EQ(Starts(0), (std::vector<int32_t>{1000, 3000}));
}

TEST_F(VobSubIndexLines, UnreadableLinesAreSkippedTheRestKept) {
  const struct {
    std::string line;
    std::vector<int32_t> starts;
  } cases[] = {
      {"timestamp: 00:00:02:000\n", {1000, 3000}},
      {"timestamp: 00:00:02:000, filepos: zz\n", {1000, 3000}},
      {"timestamp: 00:99:02:000, filepos: 000000000\n", {1000, 3000}},
      {"timestamp: 1:2:3, filepos: 000000000\n", {1000, 3000}},
      {"timestamp: 00:00:02:000, filepos: 1234567890abcdef0\n", {1000, 3000}},
      {"timestamp: 00:00:02:000, filepos: 7fffffff\n", {1000, 3000}},  // past the ".sub"
      {"timestamp: 00:00:02:000, filepos: 000000000 trailing\n", {1000, 3000}},
      {"timestamp: 00:00:02:000, filepos: " + std::string(5000, '0') + "\n", {1000, 3000}},
      // A broken "id:" line takes the timestamps after it along.
      {"id: " + std::string(100, 'x') + ", index: 0\n", {1000}},
      {"id: en\n", {1000}},
      {"id: e\x01, index: 0\n", {1000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 60));
    LoadIndex(PaletteLine() + "timestamp: 00:00:02:000, filepos: 000000000\n" + English(c.line));
    EXPECT_EQ(Starts(0), c.starts);
  }
}

TEST(VobSubIndex, ManyStreamSwitchesKeepEveryPicture) {
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  std::vector<test::VobSubPicture> english, german;
  for (int i = 0; i < 20; ++i) {
    english.push_back(Framed(1000 + 500 * i, 200, 8, 4));
    german.push_back(Framed(1250 + 500 * i, 200, 8, 4));
  }
  const auto positions =
      test::WriteVobSub(base, {{"en", 0, english}, {"de", 1, german}}, test::TestPalette());
  // Forty switches between the two languages, one timestamp after each.
  std::string index = PaletteLine();
  for (size_t i = 0; i < 20; ++i)
    index += "id: en, index: 0\n" + test::TimestampLine(english[i].startMs, positions[0][i]) +
             "id: de, index: 1\n" + test::TimestampLine(german[i].startMs, positions[1][i]);
  std::ofstream(base + ".idx") << index;
  LoadVobSubFile(base.c_str());
  ASSERT_EQ(GetLangNum(), 1);
  for (const auto& [language, pictures] : {std::pair(0, &english), std::pair(1, &german)}) {
    std::vector<int32_t> expected;
    for (const auto& picture : *pictures) expected.push_back(static_cast<int32_t>(picture.startMs));
    EXPECT_EQ(Starts(language), expected);
  }
}

TEST_F(VobSubIndexLines, WithoutAUsablePaletteVisibleValuesAreGreyShades) {
  // Values 1, 2 and 3 are visible and name three entries: the darkest shade to the first.
  const uint8_t shade[4] = {0x00, 0x00, 0x7f, 0xfe};
  const test::VobSubPicture picture = Framed(1000, 500, 8, 4);
  std::vector<uint8_t> expected;
  for (const uint8_t value : picture.pixels)
    expected.insert(expected.end(), {shade[value], shade[value], shade[value],
                                     static_cast<uint8_t>(picture.alpha[value] * 17)});
  for (const std::string palette : {"", "palette: -1, zz, , ,,,\n", "palette: 000000, ffffff\n"}) {
    SCOPED_TRACE(palette);
    LoadIndex(palette + English());
    SetCurrentLang(0);
    const auto shown = At(1100);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->pixels, expected);
  }
}

}  // namespace
}  // namespace captivo
