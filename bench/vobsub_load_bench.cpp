// Loading big VobSub sets through the library, as the program does when a movie opens:
// time and memory of LoadVobSubFile, each set in a fresh process, and the time of the
// first picture's decoding. The sets are made with the test writer:
//   pictures  500 pictures of 4096 x 4096 (about 5 MB)
//   streams   32 languages of 1,600 small pictures each over a 100 MB ".sub"
// usage: captivo_vobsub_load_bench FOLDER   (makes the sets in FOLDER once, then measures)
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "vobsub.h"
#include "vobsub_writer.h"

namespace {

using captivo::test::MakePicture;
using captivo::test::VobSubPicture;
using captivo::test::VobSubTrack;

// `count` copies of `picture`'s sub-picture, two seconds apart; encoded once.
std::vector<VobSubPicture> Copies(VobSubPicture picture, int count) {
  picture.subPicture = captivo::test::EncodeSubPicture(picture);
  picture.pixels.clear();
  std::vector<VobSubPicture> pictures(static_cast<size_t>(count), picture);
  for (int i = 0; i < count; ++i) pictures[static_cast<size_t>(i)].startMs = 1000 + 2000 * i;
  return pictures;
}

void MakeSets(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const auto palette = captivo::test::TestPalette();
  if (!std::filesystem::exists(folder / "pictures.idx")) {
    // Bands of one value a line: the smallest run-length code, 8 KiB a picture.
    const auto big = MakePicture(0, 1500, 4096, 4096, [](int, int y) { return 1 + y / 64 % 3; });
    captivo::test::WriteVobSub((folder / "pictures").string(), {{"en", 0, Copies(big, 500)}},
                               palette);
  }
  if (!std::filesystem::exists(folder / "streams.idx")) {
    // Runs of two pixels: one 2048-byte pack a picture.
    const auto busy = MakePicture(0, 1500, 200, 36, [](int x, int y) { return (x / 2 + y) % 4; });
    std::vector<VobSubTrack> tracks;
    for (int language = 0; language < 32; ++language)
      tracks.push_back({"en", language, Copies(busy, 1600)});
    captivo::test::WriteVobSub((folder / "streams").string(), tracks, palette);
  }
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field)) return std::stol(line.substr(std::string(field).size()));
  return -1;
}

// In the fresh process: load the set, then decode its first picture.
int LoadOne(const std::string& base) {
  using Clock = std::chrono::steady_clock;
  const long before = StatusKilobytes("VmRSS:");
  const auto start = Clock::now();
  LoadVobSubFile(base.c_str());
  const int32_t languages = GetLangNum();
  const auto loaded = Clock::now();
  const long peak = StatusKilobytes("VmHWM:");
  SetCurrentLang(0);
  const bool shown = GetFrame(1001);
  const auto decoded = Clock::now();
  const double files = static_cast<double>(std::filesystem::file_size(base + ".idx") +
                                           std::filesystem::file_size(base + ".sub"));
  const double grew = static_cast<double>(peak - before) * 1024;
  std::printf(
      "%-9s files %6.1f MB  load %7.1f ms  memory +%6.1f MB (%.3fx the files)  "
      "%d languages  first picture %s in %6.1f ms\n",
      std::filesystem::path(base).filename().c_str(), files / 1e6,
      std::chrono::duration<double, std::milli>(loaded - start).count(), grew / 1e6, grew / files,
      languages + 1, shown ? "decoded" : "MISSING",
      std::chrono::duration<double, std::milli>(decoded - loaded).count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--load") return LoadOne(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  MakeSets(folder);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  int failures = 0;
  for (const char* set : {"pictures", "streams"}) {
    std::fflush(stdout);
    const std::string command = "'" + self + "' --load '" + (folder / set).string() + "'";
    failures += std::system(command.c_str()) != 0;
  }
  return failures ? 1 : 0;
}
