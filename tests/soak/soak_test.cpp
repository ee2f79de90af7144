// Two hours of playback, ten ticks a second, through the window's real clock tick: against
// a 100,000-entry text store and against a VobSub set, with the memory in use flat.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "fake_movix.h"
#include "main_window.h"
#include "subtitle_samples.h"
#include "subtitle_window.h"
#include "synchronize.h"
#include "test_support.h"
#include "user_prompts.h"
#include "vobsub_writer.h"

namespace captivo {
namespace {

constexpr int kTicks = 2 * 60 * 60 * 10;  // two hours at ten ticks a second

class QuietPrompts : public ToolkitPrompts {
 public:
  void ShowMessage(QWidget*, const QString&, const QString&, QMessageBox::Icon) override {}
  int Exec(QDialog*) override { return 0; }
};

size_t HeapInUse() {
  return mallinfo2().uordblks;
}

struct Player {
  test::TempDir dir;
  QuietPrompts prompts;
  TfmMain window{{dir.Path(), dir.Path(), dir.Path(), dir.Path() / "run"}, prompts};
  TfmSub overlay;
  TfmSynchronize synchronize{&window};
  Player() {
    window.AttachWindows(&overlay, &synchronize);
    window.SubtitleFrameRate = 25;
    window.tmMovie->start();
  }
  // Plays `ticks` ticks at 25 fps (4 frames a tick at ten ticks a second); the heap's
  // growth from the first tenth on.
  size_t Play() {
    test::Movix().position = 0;
    size_t settled = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
      if (tick == kTicks / 10) settled = HeapInUse();
      test::Movix().position += 2 + tick % 2 * 2;
      window.tmMovieTimer();
      if (tick % 100 == 0) QCoreApplication::processEvents();  // the labels repaint
    }
    const size_t end = HeapInUse();
    return end > settled ? end - settled : 0;
  }
};

TEST(Soak, TwoHoursOfTextSubtitles) {
  Player player;
  player.window.OpenSubtitleFile(
      player.dir.Write("film.srt", bench::MakeSubtitleFile(SubtitleFormat::SubRip, 100000)));
  ASSERT_EQ(player.window.Subtitles.Count(), 100000u);
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
  player.window.OpenSubtitleFile(base + ".idx");
  ASSERT_TRUE(player.window.VobSubMode);
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
