// Parse throughput of each text format and the cost of the playback lookup, in whole
// seconds and in exact times.
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

// Writes the sample of `format` once into a folder of its own and gives its path; as
// UTF-16 (little-endian, with its mark) when `utf16`.
std::string SampleFile(SubtitleFormat format, bool utf16 = false) {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "captivo-bench-XXXXXX").string();
    return std::filesystem::path(::mkdtemp(pattern.data()));
  }();
  const std::filesystem::path file =
      folder / (std::string(FormatName(format)) + (utf16 ? "-utf16" : ""));
  if (!std::filesystem::exists(file)) {
    const std::string text = bench::MakeSubtitleFile(format, kEntries);
    std::ofstream out(file, std::ios::binary);
    if (!utf16) {
      out << text;
    } else {
      std::string units = "\xFF\xFE";
      for (const char c : text) units += {c, '\0'};  // the samples are ASCII
      out << units;
    }
  }
  return file.string();
}

void BM_Load(benchmark::State& state, SubtitleFormat format, bool utf16) {
  const std::string path = SampleFile(format, utf16);
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  NoMessages sink;
  for (auto _ : state) {
    SubtitleStore store;
    LoadTextSubtitle(path, store, sink);
    if (store.Count() != kEntries) state.SkipWithError("wrong entry count");
    benchmark::DoNotOptimize(store);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK_CAPTURE(BM_Load, srt, SubtitleFormat::SubRip, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, srt_utf16, SubtitleFormat::SubRip, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, ssa, SubtitleFormat::Ssa, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, frame, SubtitleFormat::Frame, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, subviewer, SubtitleFormat::SubViewer, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, timecode, SubtitleFormat::TimeCode, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, webvtt, SubtitleFormat::WebVtt, false)->Unit(benchmark::kMillisecond);

// The SubRip sample, its lookups converting whole seconds or exact times.
struct LoadedStore {
  static constexpr double kRate = 25;
  SubtitleStore store;
  int32_t lastFrame = 0;
  explicit LoadedStore(bool exact) {
    NoMessages sink;
    LoadTextSubtitle(SampleFile(SubtitleFormat::SubRip), store, sink);
    store.SetExactTimes(exact);
    lastFrame = store.EndFrame(store.Count() - 1, kRate) + 100;
  }
};

LoadedStore& Loaded(bool exact) {
  static LoadedStore whole(false), exactTimes(true);
  return exact ? exactTimes : whole;
}

// Playback: the position rises by 2 or 3 frames a tick through the whole film.
void BM_FindSubtitleAtSweep(benchmark::State& state, bool exact) {
  LoadedStore& loaded = Loaded(exact);
  int32_t position = 0;
  size_t step = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(loaded.store.FindSubtitleAt(position, LoadedStore::kRate));
    position += 2 + static_cast<int32_t>(++step % 2);
    if (position > loaded.lastFrame) position = 0;
  }
}
BENCHMARK_CAPTURE(BM_FindSubtitleAtSweep, whole, false);
BENCHMARK_CAPTURE(BM_FindSubtitleAtSweep, exact, true);

// Seeking: every lookup lands somewhere new.
void BM_FindSubtitleAtRandom(benchmark::State& state, bool exact) {
  LoadedStore& loaded = Loaded(exact);
  std::mt19937 random(7);
  std::vector<int32_t> positions(4096);
  for (auto& p : positions) p = std::uniform_int_distribution<int32_t>(0, loaded.lastFrame)(random);
  size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        loaded.store.FindSubtitleAt(positions[i++ & 4095], LoadedStore::kRate));
}
BENCHMARK_CAPTURE(BM_FindSubtitleAtRandom, whole, false);
BENCHMARK_CAPTURE(BM_FindSubtitleAtRandom, exact, true);

}  // namespace
}  // namespace captivo
