// Sets made to break readers: every hostile pair of the shared test data and every input
// kept from fuzzing (fuzz/regressions/vobsub, in the fuzz target's form) is loaded and
// every language asked for its picture at many moments. None may crash or read out of
// bounds; all of them crashed the reader built on FFmpeg's vobsub demuxer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library_probe.h"
#include "test_support.h"
#include "vobsub_fuzz_input.h"

namespace captivo {
namespace {

// Every language, every 50 ms of half a minute; each picture handed out is read whole.
void AskEveryLanguage() {
  const int32_t highest = GetLangNum();
  EXPECT_LT(highest, 32);
  for (int32_t language = 0; language <= highest; ++language) {
    EXPECT_LT(test::LangName(language).size(), 256u);
    SetCurrentLang(language);
    for (int32_t ms = -2000; ms < 30000; ms += 50) {
      const auto shown = test::At(ms);
      if (!shown) continue;
      EXPECT_GT(shown->rect[2], shown->rect[0]);
      EXPECT_GT(shown->rect[3], shown->rect[1]);
    }
  }
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder,
                                           const std::string& extension) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (extension.empty() || entry.path().extension() == extension) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(HostileVobSub, EverySharedHostileSet) {
  const std::string folder = test::TestDataFile("../hostile/vobsub");
  if (folder.empty()) GTEST_SKIP() << "shared test data not present";
  const auto indexes = FilesIn(folder, ".idx");
  EXPECT_GE(indexes.size(), 15u);
  for (const auto& index : indexes) {
    SCOPED_TRACE(index.filename().string());
    LoadVobSubFile(index.parent_path().append(index.stem().string()).c_str());
    AskEveryLanguage();
  }
}

TEST(HostileVobSub, EveryFuzzRegression) {
  const auto inputs = FilesIn(CAPTIVO_VOBSUB_REGRESSIONS, "");
  EXPECT_GE(inputs.size(), 11u);
  test::TempDir dir;
  const std::string base = (dir.Path() / "set").string();
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    std::ifstream in(input, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_TRUE(WriteFuzzSet(base, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    LoadVobSubFile(base.c_str());
    AskEveryLanguage();
  }
}

}  // namespace
}  // namespace captivo
