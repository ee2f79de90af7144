// How a ".sub" may lay out its packets, and sub-pictures that do not check out: whole
// sets written here go in, the pictures the library hands out come out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "library_probe.h"
#include "test_support.h"

namespace captivo {
namespace {

using test::At;
using test::Framed;
using test::VobSubTrack;

std::string Load(const test::TempDir& dir, const std::string& name,
                 const std::vector<VobSubTrack>& tracks, const test::VobSubLayout& layout = {}) {
  const std::string base = (dir.Path() / name).string();
  test::WriteVobSub(base, tracks, test::TestPalette(), 0, layout);
  LoadVobSubFile(base.c_str());
  return base;
}

void ExpectShows(int32_t ms, const test::VobSubPicture& picture) {
  const auto shown = At(ms);
  ASSERT_TRUE(shown) << "nothing at " << ms;
  EXPECT_EQ(shown->rect[2] - shown->rect[0], picture.width);
  EXPECT_EQ(shown->rect[3] - shown->rect[1], picture.height);
  EXPECT_TRUE(shown->pixels == test::ExpectedPixels(picture, test::TestPalette()))
      << "pixels differ at " << ms;
}

struct LayoutCase {
  const char* what;
  test::VobSubLayout layout;
};

TEST(VobSubPackets, EveryPackLayoutGivesThePicturesBack) {
  const LayoutCase cases[] = {
      {"as many bytes as fit a pack", {}},
      {"pictures split over 100-byte packets", {.payloadPerPacket = 100}},
      {"stuffing in every pack and packet header", {.packStuffing = 7, .packetStuffing = 5}},
      {"MPEG-1 headers", {.mpeg1 = true}},
      {"MPEG-1 headers with stuffing",
       {.payloadPerPacket = 700, .packetStuffing = 16, .mpeg1 = true}},
      {"packs not padded to 2048 bytes", {.payloadPerPacket = 500, .padded = false}},
  };
  // The first needs two packs even where a pack holds all it can.
  const test::VobSubPicture big = Framed(1000, 1500, 300, 50), small = Framed(4000, 0, 20, 6);
  test::TempDir dir;
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    Load(dir, c.what, {{"en", 0, {big, small}}}, c.layout);
    SetCurrentLang(0);
    ExpectShows(1500, big);
    ExpectShows(4500, small);
    EXPECT_FALSE(At(2600));
  }
}

TEST(VobSubPackets, PacksOfAnotherLanguageBetweenAPicturesPacksArePassedOver) {
  test::TempDir dir;
  const test::VobSubPicture english = Framed(1000, 1000, 300, 50),
                            german = Framed(1200, 1000, 280, 40);
  const std::string base = (dir.Path() / "set").string();
  const auto positions = test::WriteVobSub(base, {{"en", 0, {english}}, {"de", 1, {german}}},
                                           test::TestPalette(), 0, {.payloadPerPacket = 600});
  // Deal the 2048-byte packs of the two pictures alternately.
  std::ifstream in(base + ".sub", std::ios::binary);
  const std::string sub((std::istreambuf_iterator<char>(in)), {});
  const size_t packs = sub.size() / 2048, englishPacks = positions[1][0] / 2048;
  ASSERT_GT(englishPacks, 2u);
  ASSERT_GT(packs - englishPacks, 2u);
  std::string dealt;
  for (size_t e = 0, g = englishPacks; e < englishPacks || g < packs;) {
    if (e < englishPacks) dealt += sub.substr(2048 * e++, 2048);
    if (g < packs) dealt += sub.substr(2048 * g++, 2048);
  }
  std::ofstream(base + ".sub", std::ios::binary) << dealt;
  std::string index;
  {
    std::ifstream idx(base + ".idx");
    for (std::string line; std::getline(idx, line);)
      if (!line.starts_with("timestamp:")) index += line + "\n";
  }
  index.insert(index.find("id: de"), test::TimestampLine(1000, 0));
  index += test::TimestampLine(1200, 2048);
  std::ofstream(base + ".idx") << index;
  LoadVobSubFile(base.c_str());
  SetCurrentLang(0);
  ExpectShows(1100, english);
  SetCurrentLang(1);
  ExpectShows(1300, german);
}

// The written sub-picture: its control sequence starts at `control`; the first command
// (start) at control + 4, then colours at + 5, opacities at + 8, the rectangle at + 11,
// the field offsets at + 18, the end at + 23.
using Breakage = std::function<void(std::vector<uint8_t>& bytes, size_t control)>;

void Put16(std::vector<uint8_t>& bytes, size_t at, size_t value) {
  bytes[at] = static_cast<uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<uint8_t>(value);
}

struct BrokenCase {
  const char* what;
  Breakage breakage;
};

TEST(VobSubPackets, ABrokenPictureIsSkippedAndTheRestKept) {
  const BrokenCase cases[] = {
      {"declared size past its packets", [](auto& b, size_t) { Put16(b, 0, b.size() + 300); }},
      {"declared size below the header", [](auto& b, size_t) { Put16(b, 0, 3); }},
      {"declared size 0 (4-byte offsets)", [](auto& b, size_t) { Put16(b, 0, 0); }},
      {"control sequence past the end", [](auto& b, size_t) { Put16(b, 2, b.size() - 2); }},
      {"control sequence inside the header", [](auto& b, size_t) { Put16(b, 2, 2); }},
      {"field offset past the end", [](auto& b, size_t c) { Put16(b, c + 21, b.size()); }},
      {"field offset inside the header", [](auto& b, size_t c) { Put16(b, c + 19, 1); }},
      {"rectangle's right edge left of its left edge",
       [](auto& b, size_t c) { b[c + 13] = 0x00, b[c + 12] = 0xFF; }},
      {"rectangle command cut short",
       [](auto& b, size_t c) { b.resize(c + 14), Put16(b, 0, b.size()); }},
      {"rectangle taller than its data", [](auto& b, size_t c) { b[c + 16] += 2; }},
      {"rectangle narrower than its runs", [](auto& b, size_t c) { b[c + 14] -= 5; }},
      {"no visible pixel", [](auto& b, size_t c) { b[c + 9] = b[c + 10] = 0; }},
      {"no field offsets", [](auto& b, size_t c) { b[c + 18] = 0xFF; }},
  };
  test::TempDir dir;
  const test::VobSubPicture before = Framed(1000, 1000, 40, 10), after = Framed(5000, 1000, 40, 10);
  for (const BrokenCase& c : cases) {
    SCOPED_TRACE(c.what);
    test::VobSubPicture broken = Framed(3000, 1000, 40, 10);
    broken.subPicture = test::EncodeSubPicture(broken);
    c.breakage(broken.subPicture,
               static_cast<size_t>(broken.subPicture[2]) << 8 | broken.subPicture[3]);
    Load(dir, c.what, {{"en", 0, {before, broken, after}}});
    SetCurrentLang(0);
    ExpectShows(1500, before);
    for (int32_t ms = 2900; ms < 4100; ms += 100) EXPECT_FALSE(At(ms)) << ms;
    ExpectShows(5500, after);
  }
}

TEST(VobSubPackets, ASubFileChangedAfterLoadingGivesNoPictureAndNoCrash) {
  test::TempDir dir;
  const test::VobSubPicture first = Framed(1000, 1000, 40, 10), second = Framed(3000, 1000, 40, 10);
  const std::string base = Load(dir, "set", {{"en", 0, {first, second}}});
  // Pictures are read when they become due: the second is gone by then.
  std::filesystem::resize_file(base + ".sub", 2048 + 30);
  SetCurrentLang(0);
  ExpectShows(1500, first);
  EXPECT_FALSE(At(3500));
  std::filesystem::resize_file(base + ".sub", 0);
  LoadVobSubFile(base.c_str());
  SetCurrentLang(0);
  EXPECT_FALSE(At(1500));
}

// Real ".sub" files kept without an index: short packs, stuffing in a pack header, packs
// without a padding stream.
struct SubOnly {
  const char* name;
  std::vector<std::pair<int64_t, size_t>> pictures;  // timestamp, file position
};

class RealSubFiles : public ::testing::TestWithParam<SubOnly> {};

TEST_P(RealSubFiles, GiveTheirPictures) {
  const SubOnly& set = GetParam();
  const std::string sub = test::TestDataFile(std::string(set.name) + ".sub");
  if (sub.empty()) GTEST_SKIP() << "shared test data not present";
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  std::filesystem::copy_file(sub, base + ".sub");
  std::string index =
      "palette: 000000, ffffff, 808080, 404040, 000000, ffffff, 808080, 404040, "
      "000000, ffffff, 808080, 404040, 000000, ffffff, 808080, 404040\n"
      "id: en, index: 0\n";
  for (const auto& [ms, position] : set.pictures) index += test::TimestampLine(ms, position);
  std::ofstream(base + ".idx") << index;
  LoadVobSubFile(base.c_str());
  EXPECT_EQ(test::LangName(0), "English");
  SetCurrentLang(0);
  std::vector<int32_t> ids;
  for (const auto& [ms, position] : set.pictures) {
    const auto shown = At(static_cast<int32_t>(ms) + 1);
    ASSERT_TRUE(shown) << "nothing at " << ms;
    EXPECT_GT(shown->rect[2] - shown->rect[0], 100);
    EXPECT_GT(shown->rect[3] - shown->rect[1], 10);
    ids.push_back(shown->id);
  }
  EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), ids.size());
}

INSTANTIATE_TEST_SUITE_P(
    SharedTestData, RealSubFiles,
    ::testing::Values(SubOnly{"vobsub-subonly-nonstandard-length", {{1000, 0}, {9000, 0x17ff}}},
                      SubOnly{"vobsub-subonly-stuffing-bytes", {{1000, 0}}},
                      SubOnly{"vobsub-subonly-window-stuffing", {{1000, 0}, {9000, 0x2000}}}),
    [](const auto& info) { return test::TestNameOf(info.param.name); });

}  // namespace
}  // namespace captivo
