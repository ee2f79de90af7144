// The pictures of a movie's bitmap track, decoded on their own thread, over the PGS track
// of a test movie (make-test-media): made for a 1280 x 720 frame, a box of 300 x 60 at
// (490, 600) from 1 to 4 s and at (490, 40) from 6 to 9 s.
#include "track_pictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tracks.h"

namespace captivo {
namespace {

using namespace std::chrono_literals;

constexpr const char* kMovie = CAPTIVO_MEDIA_DIR "/tracks-more.mkv";
constexpr int32_t kPgsTrack = 2;

// Asks for the picture at `ms` until the answer is `expectFound` (the first answers may be
// the picture decoded for the time asked before); gives up after five seconds.
std::optional<int32_t> AskUntil(TrackPictures& pictures, int32_t ms, bool expectFound) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  std::optional<int32_t> id;
  for (int i = 0;; ++i) {
    id = pictures.PictureAt(ms);
    // Twice in a row: an answer for the time asked, not for the one before.
    if (i > 0 && id.has_value() == expectFound) return id;
    if (std::chrono::steady_clock::now() > deadline) return id;
    std::this_thread::sleep_for(10ms);
  }
}

TEST(TrackPictures, AnswersWithThePictureDecodedForTheTimeAsked) {
  TrackReader* reader = OpenTrackReader(kMovie, kPgsTrack);
  ASSERT_NE(reader, nullptr);
  TrackProgress progress{};
  for (int i = 0; i < 1000; ++i) {  // read whole before asking, within ten seconds
    GetTrackProgress(reader, &progress);
    if (progress.state != kTrackReading) break;
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_EQ(progress.state, kTrackRead);

  TrackPictures pictures;
  EXPECT_EQ(pictures.PictureAt(2000), std::nullopt);  // not started: nothing
  pictures.Start(reader);
  const struct Case {
    int32_t ms;
    bool found;
    int32_t top;  // of the box in the frame
  } cases[] = {
      {500, false, 0},  {2000, true, 600}, {3999, true, 600}, {4000, false, 0},
      {7000, true, 40}, {9500, false, 0},  {1000, true, 600},
  };
  std::optional<int32_t> firstBox;
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.ms) + " ms";
    const std::optional<int32_t> id = AskUntil(pictures, c.ms, c.found);
    ASSERT_EQ(id.has_value(), c.found) << what;
    if (!c.found) continue;
    const SubtitlePicture picture = pictures.Picture();
    ASSERT_NE(picture.pixels, nullptr) << what;
    EXPECT_EQ(picture.right - picture.left, 300) << what;
    EXPECT_EQ(picture.bottom - picture.top, 60) << what;
    EXPECT_EQ(picture.top, c.top) << what;
    EXPECT_EQ(picture.frameWidth, 1280) << what;
    // The same box keeps its number; the other box has another.
    if (c.top == 600 && !firstBox) firstBox = id;
    EXPECT_EQ(*id == *firstBox, c.top == 600) << what;
  }
  pictures.Stop();
  EXPECT_EQ(pictures.PictureAt(2000), std::nullopt);
  EXPECT_EQ(pictures.Picture().pixels, nullptr);
  CloseTrackReader(reader);
}

}  // namespace
}  // namespace captivo
