// Movies that break the rules: thousands of tracks, broken packets, codecs nobody shows,
// files that shrink or go while a track is read. Bad input costs only itself.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "matroska_writer.h"
#include "reading.h"
#include "test_processes.h"
#include "test_support.h"
#include "tracks.h"
#include "vobsub_writer.h"

namespace captivo::test {
namespace {

TEST(HostileMovies, ThousandsOfTracksAreAllListedAndRead) {
  TempDir dir;
  constexpr size_t kTracks = 3000;
  std::vector<MatroskaTrack> tracks(kTracks);
  for (size_t i = 0; i < kTracks; ++i) tracks[i].language = i % 2 ? "fre" : "eng";
  const std::string path =
      dir.Write("many.mkv",
                MatroskaFile(tracks, {{0, 1000, 500, "first"}, {kTracks - 1, 2000, 500, "last"}}));
  TrackList* list = OpenTrackList(path.c_str());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(TrackCount(list), static_cast<int32_t>(kTracks));
  EXPECT_EQ(TrackAt(list, kTracks - 1)->index, static_cast<int32_t>(kTracks - 1));
  EXPECT_STREQ(TrackAt(list, kTracks - 1)->language, "fre");
  EXPECT_EQ(TrackAt(list, kTracks - 1)->content, kTrackText);
  CloseTrackList(list);
  OpenReader reader(path, kTracks - 1);
  EXPECT_EQ(WaitUntilRead(reader).state, kTrackRead);
  EXPECT_EQ(Texts(reader), (std::vector<TrackText>{{2000, 2500, "last"}}));
}

TEST(HostileMovies, ABrokenTextPacketLosesOnlyItself) {
  TempDir dir;
  MatroskaTrack ass;
  ass.codecId = "S_TEXT/ASS";
  const std::string path = dir.Write(
      "broken.mkv", MatroskaFile({ass}, {{0, 1000, 1000, "1,0,Default,,0,0,0,,Before"},
                                         {0, 3000, 1000, "no fields at all"},
                                         {0, 5000, 1000, "3,0,Default,,0,0,0,,After, it"}}));
  OpenReader reader(path, 0);
  const TrackProgress progress = WaitUntilRead(reader);
  EXPECT_EQ(progress.state, kTrackRead);
  EXPECT_EQ(progress.skipped, 1);
  EXPECT_EQ(Texts(reader),
            (std::vector<TrackText>{{1000, 2000, "Before"}, {5000, 6000, "After, it"}}));
}

TEST(HostileMovies, ABrokenPictureLosesOnlyItself) {
  TempDir dir;
  // A DVD track: its palette and size in the codec data, each block one sub-picture.
  MatroskaTrack dvd;
  dvd.codecId = "S_VOBSUB";
  dvd.codecPrivate =
      "size: 720x480\npalette: 000000, ffffff, ff0000, 00ff00, 0000ff, 101010, 202020, 303030, "
      "404040, 505050, 606060, 707070, 808080, 909090, a0a0a0, b0b0b0\n";
  auto box = [](int64_t start) {
    VobSubPicture picture = MakePicture(start, 1000, 40, 20, [](int, int) { return 1; });
    picture.x = 100;
    picture.y = 50;
    picture.colour = {0, 1, 0, 0};
    picture.alpha = {0, 15, 0, 0};
    const auto bytes = EncodeSubPicture(picture);
    return std::string(bytes.begin(), bytes.end());
  };
  const std::string path =
      dir.Write("broken.mkv", MatroskaFile({dvd}, {{0, 1000, 0, box(1000)},
                                                   {0, 3000, 0, std::string("\x00\x04\xff\xff", 4)},
                                                   {0, 5000, 0, box(5000)}}));
  OpenReader reader(path, 0);
  const TrackProgress progress = WaitUntilRead(reader);
  EXPECT_EQ(progress.state, kTrackRead);
  ASSERT_EQ(progress.count, 3);
  TrackPicture picture{};
  EXPECT_EQ(GetTrackPicture(reader, 0, &picture), 1);
  EXPECT_EQ(GetTrackPicture(reader, 1, &picture), -1);
  EXPECT_EQ(GetTrackPicture(reader, 2, &picture), 1);
  EXPECT_EQ(picture.start, 5000);
  EXPECT_EQ(picture.left, 100);
  EXPECT_EQ(picture.right, 140);
  EXPECT_EQ(GetTrackPictureAt(reader, 3500, &picture), 0);
  EXPECT_EQ(GetTrackPictureAt(reader, 5500, &picture), 1);
  EXPECT_EQ(picture.pixels[3], 255);
}

TEST(HostileMovies, AnUnknownCodecIsListedAndCannotBeShown) {
  TempDir dir;
  MatroskaTrack odd;
  odd.codecId = "S_TEXT/USF";
  odd.language = "ger";
  const std::string path = dir.Write("odd.mkv", MatroskaFile({odd}, {{0, 1000, 500, "<USF/>"}}));
  TrackList* list = OpenTrackList(path.c_str());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(TrackCount(list), 1);
  EXPECT_EQ(TrackAt(list, 0)->kind, kTrackSubtitle);
  EXPECT_EQ(TrackAt(list, 0)->content, kTrackCannotShow);
  EXPECT_STREQ(TrackAt(list, 0)->language, "ger");
  CloseTrackList(list);
  OpenReader reader(path, 0);
  EXPECT_EQ(WaitUntilRead(reader).state, kTrackFailed);
}

// The lines read before the file went short are lines of the file, in order, each once.
void ExpectLinesOfTheFile(const std::vector<TrackText>& read, const std::vector<TrackText>& all) {
  EXPECT_LE(read.size(), all.size());
  for (const TrackText& line : read) EXPECT_EQ(std::count(all.begin(), all.end(), line), 1) << line;
  EXPECT_TRUE(std::is_sorted(read.begin(), read.end(),
                             [](const auto& a, const auto& b) { return a.start < b.start; }));
  EXPECT_EQ(std::adjacent_find(read.begin(), read.end()), read.end());
}

std::vector<TrackText> AllLongLines() {
  OpenReader reader(Media("tracks-long.mkv"), 1);
  WaitUntilRead(reader);
  return Texts(reader);
}

// However far the reading has got when the file shrinks or goes, it ends, keeps what it
// read, and mixes nothing up.
TEST(HostileMovies, AFileThatShrinksOrGoesWhileReadEndsTheRead) {
  const std::vector<TrackText> all = AllLongLines();
  ASSERT_EQ(all.size(), 90u);
  const auto size = std::filesystem::file_size(Media("tracks-long.mkv"));
  for (int round = 0; round < 12; ++round) {
    TempDir dir;
    const std::filesystem::path copy = dir.Path() / "film.mkv";
    std::filesystem::copy_file(Media("tracks-long.mkv"), copy);
    OpenReader reader(copy.string(), 1);
    if (round % 3 == 1) ReadTrackFromTime(reader, 120000);
    if (round >= 6) std::this_thread::sleep_for(std::chrono::milliseconds(round - 5));
    if (round % 2)
      std::filesystem::remove(copy);
    else
      std::filesystem::resize_file(copy, size / 3);
    const TrackProgress progress = WaitUntilRead(reader);
    ExpectLinesOfTheFile(Texts(reader), all);
    if (progress.state == kTrackFailed) {
      EXPECT_EQ(progress.count, 0);
    }
  }
}

TEST(HostileMovies, AMovieCutShortGivesTheLinesBeforeTheCut) {
  TempDir dir;
  const std::string whole = FileContents(Media("tracks-long.mkv"));
  const std::string path = dir.Write("cut.mkv", whole.substr(0, whole.size() / 2));
  OpenReader reader(path, 1);
  const TrackProgress progress = WaitUntilRead(reader);
  EXPECT_NE(progress.state, kTrackFailed);
  const std::vector<TrackText> read = Texts(reader);
  const std::vector<TrackText> all = AllLongLines();
  ASSERT_GE(read.size(), 30u);
  ASSERT_LT(read.size(), 60u);
  EXPECT_EQ(read,
            std::vector<TrackText>(all.begin(), all.begin() + static_cast<ptrdiff_t>(read.size())));
}

}  // namespace
}  // namespace captivo::test
