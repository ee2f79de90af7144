// The bitmap subtitle library: sets written here with known pictures and
// times, and the real sets of the shared test data.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library_probe.h"
#include "test_support.h"

namespace captivo {
namespace {

using test::At;
using test::Framed;
using test::LangName;
using test::VobSubTrack;

class VobSubLibrary : public ::testing::Test {
 protected:
  std::string Write(const std::vector<VobSubTrack>& tracks, int delay = 0) {
    const std::string base = (dir.Path() / "set").string();
    test::WriteVobSub(base, tracks, test::TestPalette(), delay);
    LoadVobSubFile(base.c_str());
    return base;
  }
  test::TempDir dir;
};

TEST_F(VobSubLibrary, PicturesComeBackPixelForPixel) {
  const test::VobSubPicture picture = Framed(1000, 2000, 37, 12);
  Write({{"en", 0, {picture}}});
  SetCurrentLang(0);
  const auto shown = At(1500);
  ASSERT_TRUE(shown);
  EXPECT_EQ(std::vector<int32_t>(shown->rect, shown->rect + 4),
            (std::vector<int32_t>{100, 400, 137, 412}));
  const auto palette = test::TestPalette();
  ASSERT_EQ(shown->pixels.size(), 37u * 12 * 4);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const uint8_t value = picture.pixels[i];
    const uint32_t rgb = palette[picture.colour[value]];
    const uint8_t expected[4] = {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                 static_cast<uint8_t>(rgb >> 16),
                                 static_cast<uint8_t>(picture.alpha[value] * 17)};
    for (int c = 0; c < 4; ++c)
      ASSERT_EQ(shown->pixels[i * 4 + c], expected[c]) << "pixel " << i << " byte " << c;
  }
}

TEST_F(VobSubLibrary, APictureIsDueFromItsStartToItsEnd) {
  Write({{"en", 0, {Framed(1000, 2000, 8, 4), Framed(5000, 0, 8, 4), Framed(8000, 500, 8, 4)}}});
  SetCurrentLang(0);
  EXPECT_FALSE(At(999));
  const auto first = At(1000);
  ASSERT_TRUE(first);
  EXPECT_EQ(At(2900)->id, first->id);  // the same picture keeps its number
  EXPECT_FALSE(At(3100));              // stopped after about two seconds
  const auto second = At(5000);
  ASSERT_TRUE(second);
  EXPECT_NE(second->id, first->id);
  EXPECT_EQ(At(7999)->id, second->id);  // no stop: until the next picture starts
  EXPECT_NE(At(8000)->id, second->id);
  EXPECT_FALSE(At(8600));
  EXPECT_FALSE(At(-5));
}

TEST_F(VobSubLibrary, PictureTimesAreWhenEachIsDue) {
  Write({{"en", 0, {Framed(1000, 2000, 8, 4), Framed(5000, 0, 8, 4), Framed(8000, 500, 8, 4)}}});
  EXPECT_EQ(GetPictureTimes(nullptr, nullptr, 0), 0);  // no language chosen
  SetCurrentLang(0);
  int32_t starts[3] = {}, ends[3] = {};
  ASSERT_EQ(GetPictureTimes(nullptr, nullptr, 0), 3);
  ASSERT_EQ(GetPictureTimes(starts, ends, 3), 3);
  EXPECT_EQ(std::vector<int32_t>(starts, starts + 3), (std::vector<int32_t>{1000, 5000, 8000}));
  for (const int32_t i : {0, 2}) {  // ends as the pictures stop being due
    EXPECT_TRUE(At(ends[i] - 1)) << i;
    EXPECT_FALSE(At(ends[i])) << i;
  }
  EXPECT_EQ(ends[1], 8000);  // no stop of its own: the next picture's start
  int32_t first = 0, firstEnd = 0;
  EXPECT_EQ(GetPictureTimes(&first, &firstEnd, 1), 3);  // only as many as there is room for
  EXPECT_EQ(first, 1000);
}

TEST_F(VobSubLibrary, LanguagesByTheirIndex) {
  Write({{"en", 0, {Framed(1000, 1000, 8, 4)}},
         {"fr", 1, {}},
         {"de", 2, {Framed(1000, 1000, 8, 4)}},
         {"xq", 3, {Framed(2000, 1000, 8, 4)}}});
  EXPECT_EQ(GetLangNum(), 3);
  EXPECT_EQ(LangName(0), "English");
  EXPECT_EQ(LangName(1), "(Not detected)");
  EXPECT_EQ(LangName(2), "German");
  EXPECT_EQ(LangName(3), "xq");  // an unknown code stands for itself
  EXPECT_EQ(LangName(7), "(Not detected)");
  SetCurrentLang(2);
  const auto german = At(1500);
  ASSERT_TRUE(german);
  SetCurrentLang(0);
  const auto english = At(1500);
  ASSERT_TRUE(english);
  EXPECT_NE(german->id, english->id);  // other languages' pictures are other pictures
  SetCurrentLang(3);
  EXPECT_FALSE(At(1500));
  EXPECT_TRUE(At(2500));
  SetCurrentLang(1);
  EXPECT_FALSE(At(1500));
}

TEST_F(VobSubLibrary, DelayMovesLaterTimestamps) {
  Write({{"en", 0, {Framed(1000, 500, 8, 4)}}}, 2000);
  SetCurrentLang(0);
  EXPECT_FALSE(At(1200));
  EXPECT_TRUE(At(3200));
}

TEST_F(VobSubLibrary, ReloadingGivesNewNumbers) {
  const std::string base = Write({{"en", 0, {Framed(1000, 1000, 8, 4)}}});
  SetCurrentLang(0);
  const int32_t before = At(1500)->id;
  LoadVobSubFile(base.c_str());
  SetCurrentLang(0);
  EXPECT_NE(At(1500)->id, before);
}

TEST_F(VobSubLibrary, BrokenSetsGiveNoPicturesAndNoCrash) {
  const std::string base =
      Write({{"en", 0, {Framed(1000, 1000, 64, 30), Framed(3000, 1000, 64, 30)}}});
  // The second pack cut in the middle, and garbage where the first picture's data was.
  std::filesystem::resize_file(base + ".sub", 2048 + 30);
  {
    std::fstream sub(base + ".sub", std::ios::in | std::ios::out | std::ios::binary);
    sub.seekp(40);
    const std::string junk(200, '\xFF');
    sub.write(junk.data(), static_cast<std::streamsize>(junk.size()));
  }
  LoadVobSubFile(base.c_str());
  SetCurrentLang(0);
  for (int ms = 0; ms < 6000; ms += 100) At(ms);

  LoadVobSubFile((dir.Path() / "nothing").string().c_str());
  EXPECT_LT(GetLangNum(), 0);
  SetCurrentLang(0);
  EXPECT_FALSE(At(1500));
  std::ofstream(dir.Path() / "text.idx") << "not an index\n";
  std::ofstream(dir.Path() / "text.sub") << "{1}{2}text\n";
  LoadVobSubFile((dir.Path() / "text").string().c_str());
  EXPECT_LT(GetLangNum(), 0);
}

struct RealSet {
  const char* base;
  const char* language;
  int pictures;
  int32_t firstMs, lastMs;
};

class RealSets : public ::testing::TestWithParam<RealSet> {};

TEST_P(RealSets, LoadWithTheirPicturesAndTimes) {
  const RealSet& set = GetParam();
  const std::string idx = test::TestDataFile(std::string(set.base) + ".idx");
  if (idx.empty()) GTEST_SKIP() << "shared test data not present";
  LoadVobSubFile(idx.substr(0, idx.size() - 4).c_str());
  ASSERT_EQ(GetLangNum(), 0);
  EXPECT_EQ(LangName(0), set.language);
  SetCurrentLang(0);
  int pictures = 0, last = -1;
  int32_t first = -1, lastStart = -1;
  for (int32_t ms = 0; ms < 11 * 60 * 1000; ms += 2) {
    if (!GetFrame(ms)) {
      last = -1;
      continue;
    }
    const int32_t id = GetCurrentIndex();
    if (id == last) continue;
    last = id;
    ++pictures;
    if (first < 0) first = ms;
    lastStart = ms;
    uint8_t* pixels = nullptr;
    int32_t rect[4];
    GetDataPointer(&pixels, rect);
    EXPECT_GT(rect[2], rect[0]);
    EXPECT_GT(rect[3], rect[1]);
    EXPECT_NE(pixels, nullptr);
  }
  EXPECT_EQ(pictures, set.pictures);
  EXPECT_NEAR(first, set.firstMs, 2);
  EXPECT_NEAR(lastStart, set.lastMs, 2);
}

INSTANTIATE_TEST_SUITE_P(
    SharedTestData, RealSets,
    ::testing::Values(RealSet{"vobsub-sintel-en", "English", 26, 107250, 626208},
                      RealSet{"vobsub-bdsup2sub-1080p-de", "German", 2, 49466, 52636},
                      RealSet{"vobsub-tiny-en", "English", 1, 1000, 1000},
                      RealSet{"vobsub-tiny-split-en", "English", 1, 1000, 1000}),
    [](const auto& info) { return test::TestNameOf(info.param.base); });

}  // namespace
}  // namespace captivo
