// The tracks library through its C functions, over the test movies ffmpeg made: what it
// lists, the texts and pictures it reads, and reading from a time asked for.
#include <gtest/gtest.h>

#include <algorithm>

#include "reading.h"
#include "tracks.h"

namespace captivo::test {
namespace {

struct ListedTrack {
  int32_t index, kind, content, flags, channels;
  std::string codec, language, title;
  bool operator==(const ListedTrack&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ListedTrack& t) {
  return out << t.index << " " << t.kind << " " << t.content << " " << t.flags << " " << t.channels
             << " " << t.codec << " '" << t.language << "' '" << t.title << "'";
}

std::vector<ListedTrack> Listed(const std::string& path) {
  std::vector<ListedTrack> listed;
  TrackList* list = OpenTrackList(path.c_str());
  EXPECT_NE(list, nullptr) << path;
  for (int32_t i = 0; i < TrackCount(list); ++i) {
    const TrackInfo& t = *TrackAt(list, i);
    listed.push_back(
        {t.index, t.kind, t.content, t.flags, t.channels, t.codec, t.language, t.title});
  }
  EXPECT_EQ(TrackAt(list, TrackCount(list)), nullptr);
  EXPECT_EQ(TrackAt(list, -1), nullptr);
  CloseTrackList(list);
  return listed;
}

TEST(TrackList, EveryTrackWithWhatItsFileSays) {
  constexpr int32_t kV = kTrackVideo, kA = kTrackAudio, kS = kTrackSubtitle;
  constexpr int32_t kNone = kTrackCannotShow, kText = kTrackText, kBitmap = kTrackBitmap;
  EXPECT_EQ(Listed(Media("tracks.mkv")),
            (std::vector<ListedTrack>{
                {0, kV, kNone, 0, 0, "h264", "", ""},
                {1, kA, kNone, kTrackDefault, 1, "aac", "eng", ""},
                {2, kA, kNone, 0, 1, "aac", "fre", "Commentaire"},
                {3, kS, kText, kTrackDefault, 0, "subrip", "eng", "SDH"},
                {4, kS, kText, 0, 0, "subrip", "fre", ""},
                {5, kS, kText, 0, 0, "ass", "eng", "Signs"},
                {6, kS, kBitmap, 0, 0, "dvd_subtitle", "eng", ""},
            }));
  EXPECT_EQ(Listed(Media("tracks.mp4")),
            (std::vector<ListedTrack>{
                {0, kV, kNone, kTrackDefault, 0, "h264", "und", ""},
                {1, kA, kNone, kTrackDefault, 1, "aac", "und", ""},
                {2, kS, kText, kTrackDefault, 0, "mov_text", "eng", ""},
            }));
  EXPECT_EQ(Listed(Media("tracks-more.mkv")),
            (std::vector<ListedTrack>{
                {0, kV, kNone, 0, 0, "h264", "", ""},
                {1, kS, kText, 0, 0, "webvtt", "", ""},
                {2, kS, kBitmap, 0, 0, "hdmv_pgs_subtitle", "", ""},
                {3, kS, kBitmap, kTrackDefault, 0, "dvb_subtitle", "en", ""},
            }));
}

TEST(TrackList, FilesThatAreNoMoviesGiveNoList) {
  for (const char* name : {"random.avi", "text.avi", "empty.avi", "missing.mkv", ""})
    EXPECT_EQ(OpenTrackList(Media(name).c_str()), nullptr) << name;  // "" is the folder
  EXPECT_EQ(OpenTrackList(nullptr), nullptr);
  EXPECT_EQ(TrackCount(nullptr), 0);
}

TEST(TrackReading, TextTracksGivePlainLinesInMilliseconds) {
  struct Case {
    const char* file;
    int32_t index;
    std::vector<TrackText> texts;
  } cases[] = {
      // ffmpeg moves the Matroska movie's times 23 ms on, as its sound starts early.
      {"tracks.mkv",
       3,
       {{1023, 2523, "Hello there"}, {3023, 4523, "Second line\r\nof two"}, {5023, 6523, "Third"}}},
      {"tracks.mkv", 4, {{2023, 3523, "Bonjour"}, {4023, 5523, "Au revoir"}}},
      {"tracks.mkv",
       5,
       {{1023, 3023, "Styled, with a comma\r\nand a break"}, {2023, 4023, "After a drawing"}}},
      {"tracks.mp4",
       2,
       {{1000, 2500, "Hello there"}, {3000, 4500, "Second line\r\nof two"}, {5000, 6500, "Third"}}},
      {"tracks-more.mkv", 1, {{1000, 2000, "Fish & chips"}, {3000, 4500, "Two"}}},
  };
  for (const Case& c : cases) {
    OpenReader reader(Media(c.file), c.index);
    const TrackProgress progress = WaitUntilRead(reader);
    EXPECT_EQ(progress.state, kTrackRead) << c.file << " " << c.index;
    EXPECT_EQ(progress.content, kTrackText);
    EXPECT_EQ(progress.count, static_cast<int64_t>(c.texts.size()));
    EXPECT_EQ(progress.skipped, 0);
    EXPECT_EQ(Texts(reader), c.texts) << c.file << " " << c.index;
    // Asked from further on, the texts come from there.
    std::vector<TrackText> rest;
    GetTrackTexts(reader, 1, CollectText, &rest);
    EXPECT_EQ(rest, std::vector<TrackText>(c.texts.begin() + 1, c.texts.end()));
    TrackPicture picture{};
    EXPECT_EQ(GetTrackPictureAt(reader, 1500, &picture), 0);  // a text track has none
  }
}

struct ExpectedPicture {
  int64_t start, end;
  int32_t left, top, right, bottom;
};

void ExpectPicture(const TrackPicture& p, const ExpectedPicture& e, const std::string& what) {
  EXPECT_EQ(p.start, e.start) << what;
  EXPECT_EQ(p.end, e.end) << what;
  EXPECT_EQ(p.left, e.left) << what;
  EXPECT_EQ(p.top, e.top) << what;
  EXPECT_EQ(p.right, e.right) << what;
  EXPECT_EQ(p.bottom, e.bottom) << what;
}

// The boxes are white inside a frame of black, both opaque; colours within the rounding
// of the formats that keep them as luma and chroma.
void ExpectBox(const TrackPicture& p, int border, const std::string& what) {
  const int width = p.right - p.left, height = p.bottom - p.top;
  ASSERT_NE(p.pixels, nullptr);
  auto pixel = [&](int x, int y) { return p.pixels + (static_cast<size_t>(y) * width + x) * 4; };
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(pixel(width / 2, height / 2)[i], 235) << what;
    EXPECT_LE(pixel(0, 0)[i], 20) << what;
    EXPECT_LE(pixel(width - 1, height - 1)[i], 20) << what;
    EXPECT_GE(pixel(border, border)[i], 235) << what;
  }
  EXPECT_EQ(pixel(width / 2, height / 2)[3], 255) << what;
  EXPECT_EQ(pixel(0, 0)[3], 255) << what;
}

TEST(TrackReading, BitmapTracksGiveTheirPicturesDecoded) {
  struct Case {
    const char* file;
    int32_t index;
    int32_t frameWidth, frameHeight, border;
    std::vector<ExpectedPicture> pictures;
  } cases[] = {
      // The VobSub set's boxes: its own ends, 7 ms short of whole seconds in 90 kHz ticks.
      {"tracks.mkv",
       6,
       720,
       480,
       2,
       {{1023, 5016, 220, 200, 420, 240}, {7023, 11016, 220, 200, 420, 240}}},
      {"tracks-more.mkv",
       3,
       720,
       480,
       2,
       {{1000, 4993, 220, 200, 420, 240}, {7000, 10993, 220, 200, 420, 240}}},
      // PGS pictures end where the empty display set after them starts.
      {"tracks-more.mkv",
       2,
       1280,
       720,
       3,
       {{1000, 4000, 490, 600, 790, 660}, {6000, 9000, 490, 40, 790, 100}}},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.file) + " " + std::to_string(c.index);
    OpenReader reader(Media(c.file), c.index);
    TrackProgress progress = WaitUntilRead(reader);
    EXPECT_EQ(progress.state, kTrackRead) << what;
    EXPECT_EQ(progress.content, kTrackBitmap) << what;
    std::vector<TrackPicture> shown;
    for (int64_t n = 0; n < progress.count; ++n) {
      TrackPicture picture{};
      const int32_t result = GetTrackPicture(reader, n, &picture);
      EXPECT_GE(result, 0) << what << " entry " << n;
      if (result == 1) shown.push_back(picture);
    }
    ASSERT_EQ(shown.size(), c.pictures.size()) << what;
    for (size_t i = 0; i < shown.size(); ++i) ExpectPicture(shown[i], c.pictures[i], what);
    GetTrackProgress(reader, &progress);
    EXPECT_EQ(progress.frameWidth, c.frameWidth) << what;
    EXPECT_EQ(progress.frameHeight, c.frameHeight) << what;

    // What is due when: each picture from its start to its end, the same picture on every
    // call, nothing before, between and after.
    for (const ExpectedPicture& e : c.pictures) {
      TrackPicture first{}, again{};
      ASSERT_EQ(GetTrackPictureAt(reader, e.start, &first), 1) << what << " at " << e.start;
      ExpectPicture(first, e, what);
      EXPECT_EQ(first.frameWidth, c.frameWidth);
      ExpectBox(first, c.border, what);
      ASSERT_EQ(GetTrackPictureAt(reader, e.end - 1, &again), 1) << what << " at " << e.end - 1;
      EXPECT_EQ(again.number, first.number);
      EXPECT_EQ(GetTrackPictureAt(reader, e.end, &again), 0) << what << " at " << e.end;
      EXPECT_EQ(GetTrackPictureAt(reader, e.start - 1, &again), 0) << what;
    }
    TrackPicture one{}, two{};
    GetTrackPictureAt(reader, c.pictures[0].start, &one);
    GetTrackPictureAt(reader, c.pictures[1].start, &two);
    EXPECT_NE(one.number, two.number) << what;
    // Backwards, after the later one was decoded, the earlier comes again.
    ASSERT_EQ(GetTrackPictureAt(reader, c.pictures[0].start + 10, &one), 1) << what;
    ExpectBox(one, c.border, what);
    std::vector<TrackText> none;
    GetTrackTexts(reader, 0, CollectText, &none);
    EXPECT_TRUE(none.empty());
  }
}

// tracks-long.mkv: "Line N" at (N - 1) * 2 s for 1.5 s, N from 1 to 90.
std::vector<TrackText> LongLines() {
  std::vector<TrackText> lines;
  for (int64_t n = 1; n <= 90; ++n)
    lines.push_back({(n - 1) * 2000, (n - 1) * 2000 + 1500, "Line " + std::to_string(n)});
  return lines;
}

TEST(TrackReading, ReadingFromTimesAskedForEndsWithEveryLineOnce) {
  const std::vector<std::vector<int64_t>> requests = {
      {}, {150000}, {170000, 10000}, {90000, 90000, 179000, 0}, {200000}, {60000, 61000, 5000},
  };
  for (const auto& times : requests) {
    OpenReader reader(Media("tracks-long.mkv"), 1);
    for (int64_t ms : times) ReadTrackFromTime(reader, ms);
    const TrackProgress progress = WaitUntilRead(reader);
    EXPECT_EQ(progress.state, kTrackRead);
    EXPECT_EQ(Texts(reader), LongLines()) << times.size() << " requests";
    ReadTrackFromTime(reader, 30000);  // all read: nothing changes
    EXPECT_EQ(Texts(reader), LongLines());
  }
}

// A copy made while reading goes on stays right: taken again from the first entry when
// the order number changed, else extended from where it ended.
TEST(TrackReading, ACopyKeptByTheOrderNumberEndsEqual) {
  for (int64_t from : {120000, 30000, 178000}) {
    OpenReader reader(Media("tracks-long.mkv"), 1);
    ReadTrackFromTime(reader, from);
    std::vector<TrackText> copy;
    int64_t order = -1;
    for (;;) {
      TrackProgress progress{};
      GetTrackProgress(reader, &progress);
      std::vector<TrackText> more;
      const int64_t now =
          GetTrackTexts(reader, static_cast<int64_t>(copy.size()), CollectText, &more);
      if (now != order) {  // entries came in among those copied: again from the first
        copy.clear();
        order = now;
        continue;
      }
      copy.insert(copy.end(), more.begin(), more.end());
      ASSERT_TRUE(std::is_sorted(copy.begin(), copy.end(),
                                 [](const auto& a, const auto& b) { return a.start < b.start; }));
      if (progress.state != kTrackReading) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(copy, LongLines()) << from;
  }
}

TEST(TrackReading, ClosingWhileReadingStopsAtOnce) {
  for (int i = 0; i < 20; ++i) {
    TrackReader* reader = OpenTrackReader(Media("tracks-long.mkv").c_str(), 1);
    if (i % 2) ReadTrackFromTime(reader, 100000);
    if (i % 4 == 3) std::this_thread::sleep_for(std::chrono::milliseconds(i));
    CloseTrackReader(reader);
  }
}

TEST(TrackReading, WhatCannotBeReadFails) {
  struct Case {
    std::string path;
    int32_t index;
  } cases[] = {
      {Media("tracks.mkv"), 0},  // video
      {Media("tracks.mkv"), 1},  // audio
      {Media("tracks.mkv"), 7},  // no such track
      {Media("tracks.mkv"), -1}, {Media("random.avi"), 0},
      {Media("missing.mkv"), 0}, {Media(""), 0},  // the folder
  };
  for (const Case& c : cases) {
    OpenReader reader(c.path, c.index);
    const TrackProgress progress = WaitUntilRead(reader);
    EXPECT_EQ(progress.state, kTrackFailed) << c.path << " " << c.index;
    EXPECT_EQ(progress.count, 0);
    EXPECT_TRUE(Texts(reader).empty());
  }
  TrackProgress progress{};
  GetTrackProgress(nullptr, &progress);
  EXPECT_EQ(progress.state, kTrackFailed);
  EXPECT_EQ(OpenTrackReader(nullptr, 0), nullptr);
}

}  // namespace
}  // namespace captivo::test
