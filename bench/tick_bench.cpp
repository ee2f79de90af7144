// One tick of the subtitle clock with a 100,000-entry store, as the window runs it.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "fake_movix.h"
#include "subtitle_samples.h"
#include "window_fixture.h"

namespace captivo {
namespace {

void BM_ClockTick(benchmark::State& state) {
  test::WindowFixture player({}, false);
  player.OpenMovie("film.avi");
  player.LoadSubtitle(
      player.dir.Write("film.srt", bench::MakeSubtitleFile(SubtitleFormat::SubRip, 100000)));
  test::Movix().position = 0;
  size_t step = 0;
  for (auto _ : state) {
    player.Tick();
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
