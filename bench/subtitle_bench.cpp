// Parse throughput of each text format and the cost of the playback lookup.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "subtitle_loader.h"
#include "subtitle_samples.h"

namespace captivo {
namespace {

constexpr int kEntries = 100000;

class NoMessages : public MessageSink {
 public:
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
};

// Writes the sample of `format` once into a folder of its own and gives its path.
std::string SampleFile(SubtitleFormat format) {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "captivo-bench-XXXXXX").string();
    return std::filesystem::path(::mkdtemp(pattern.data()));
  }();
  const std::filesystem::path file = folder / FormatName(format);
  if (!std::filesystem::exists(file))
    std::ofstream(file, std::ios::binary) << bench::MakeSubtitleFile(format, kEntries);
  return file.string();
}

void BM_Load(benchmark::State& state, SubtitleFormat format) {
  const std::string path = SampleFile(format);
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  NoMessages sink;
  for (auto _ : state) {
    SubtitleStore store;
    LoadTextSubtitle(path, store, sink, {});
    if (store.Count() != kEntries) state.SkipWithError("wrong entry count");
    benchmark::DoNotOptimize(store);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK_CAPTURE(BM_Load, srt, SubtitleFormat::SubRip)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, ssa, SubtitleFormat::Ssa)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, frame, SubtitleFormat::Frame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, subviewer, SubtitleFormat::SubViewer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, timecode, SubtitleFormat::TimeCode)->Unit(benchmark::kMillisecond);

struct LoadedStore {
  static constexpr double kRate = 25;
  SubtitleStore store;
  int32_t lastFrame = 0;
  LoadedStore() {
    NoMessages sink;
    LoadTextSubtitle(SampleFile(SubtitleFormat::SubRip), store, sink, {});
    lastFrame = store.TimeToFrame(store.EndTime(store.Count() - 1), kRate) + 100;
  }
};

// Playback: the position rises by 2 or 3 frames a tick through the whole film.
void BM_FindSubtitleAtSweep(benchmark::State& state) {
  static LoadedStore loaded;
  int32_t position = 0;
  size_t step = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(loaded.store.FindSubtitleAt(position, LoadedStore::kRate));
    position += 2 + static_cast<int32_t>(++step % 2);
    if (position > loaded.lastFrame) position = 0;
  }
}
BENCHMARK(BM_FindSubtitleAtSweep);

// Seeking: every lookup lands somewhere new.
void BM_FindSubtitleAtRandom(benchmark::State& state) {
  static LoadedStore loaded;
  std::mt19937 random(7);
  std::vector<int32_t> positions(4096);
  for (auto& p : positions) p = std::uniform_int_distribution<int32_t>(0, loaded.lastFrame)(random);
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        loaded.store.FindSubtitleAt(positions[i++ & 4095], LoadedStore::kRate));
}
BENCHMARK(BM_FindSubtitleAtRandom);

}  // namespace
}  // namespace captivo
