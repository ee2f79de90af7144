// Two hours of playback, ten ticks a second, through the window's real clock tick: against
// a 100,000-entry text store and against a VobSub set, with the memory in use flat.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QApplication>
#include <cstdio>

#include "fake_movix.h"
#include "subtitle_image.h"
#include "subtitle_samples.h"
#include "vobsub_writer.h"
#include "window_fixture.h"

namespace captivo {
namespace {

constexpr int kTicks = 2 * 60 * 60 * 10;  // two hours at ten ticks a second

size_t HeapInUse() {
  return mallinfo2().uordblks;
}

// A movie playing at 25 fps, its window's boxes and dialogs answered silently.
struct Player : test::WindowFixture {
  Player() : WindowFixture({}, false) { OpenMovie("film.avi"); }
  // Plays `ticks` ticks at 25 fps (4 frames a tick at ten ticks a second); the heap's
  // growth from the first tenth on.
  size_t Play() {
    test::Movix().position = 0;
    size_t settled = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
      if (tick == kTicks / 10) settled = HeapInUse();
      test::Movix().position += 2 + tick % 2 * 2;
      Tick();
      if (tick % 100 == 0) QCoreApplication::processEvents();  // the labels repaint
    }
    const size_t end = HeapInUse();
    return end > settled ? end - settled : 0;
  }
};

TEST(Soak, TwoHoursOfTextSubtitles) {
  Player player;
  player.LoadSubtitle(
      player.dir.Write("film.srt", bench::MakeSubtitleFile(SubtitleFormat::SubRip, 100000)));
  ASSERT_NE(player.ShownAt(50).find("went out 0"), std::string::npos);
  const size_t grown = player.Play();
  std::printf("text: heap grew %zu bytes over two hours of ticks\n", grown);
  EXPECT_LT(grown, 64u * 1024);
}

TEST(Soak, TwoHoursOfBitmapSubtitles) {
  Player player;
  std::vector<test::VobSubPicture> pictures;
  for (int i = 0; i < 2000; ++i) {  // one every 3.6 seconds for two hours
    auto picture =
        test::MakePicture(i * 3600, 2500, 300, 40, [i](int x, int y) { return (x + y + i) % 4; });
    picture.x = 200;
    picture.y = 400;
    pictures.push_back(std::move(picture));
  }
  const std::string base = (player.dir.Path() / "film").string();
  test::WriteVobSub(base, {{"en", 0, pictures}}, test::TestPalette());
  player.LoadSubtitle(base + ".idx");
  test::Movix().position = 2600 * 25 / 1000;
  player.Tick();
  ASSERT_FALSE(player.StripImage().isHidden());
  const size_t grown = player.Play();
  std::printf("bitmap: heap grew %zu bytes over two hours of ticks\n", grown);
  EXPECT_LT(grown, 64u * 1024);
}

}  // namespace
}  // namespace captivo

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
