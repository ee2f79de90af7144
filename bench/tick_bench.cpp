// One tick of the subtitle clock with a 100,000-entry store, as the window runs it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "fake_movix.h"
#include "main_window.h"
#include "subtitle_samples.h"
#include "subtitle_window.h"
#include "synchronize.h"
#include "test_support.h"
#include "user_prompts.h"

namespace captivo {
namespace {

class SilentPrompts : public ToolkitPrompts {
 public:
  void ShowMessage(QWidget*, const QString&, const QString&, QMessageBox::Icon) override {}
};

void BM_ClockTick(benchmark::State& state) {
  test::TempDir dir;
  SilentPrompts prompts;
  TfmMain window({dir.Path(), dir.Path(), dir.Path(), dir.Path() / "run"}, prompts);
  TfmSub overlay;
  TfmSynchronize synchronize(&window);
  window.AttachWindows(&overlay, &synchronize);
  window.OpenSubtitleFile(
      dir.Write("film.srt", bench::MakeSubtitleFile(SubtitleFormat::SubRip, 100000)));
  window.SubtitleFrameRate = 25;
  window.Subtitles.ForgetLastHit();
  test::Movix().position = 0;
  size_t step = 0;
  for (auto _ : state) {
    window.tmMovieTimer();
    test::Movix().position += 2 + static_cast<int32_t>(++step % 2);
    if (test::Movix().position > 25 * 400000) test::Movix().position = 0;
  }
}
BENCHMARK(BM_ClockTick)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace captivo

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
