// Any bytes as a VobSub set: the first byte chooses whether they are the ".sub" beside a
// fixed index, or the ".idx" beside a fixed picture file; then every language and every
// moment is asked for its picture, which must never be read out of bounds.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "fuzz_folder.h"
#include "vobsub.h"

namespace {

constexpr char kIndex[] =
    "# VobSub index file, v7 (do not modify this line!)\nsize: 720x480\n"
    "palette: 000000, ffffff, ff0000, 00ff00, 0000ff, 101010, 202020, 303030, 404040, 505050, "
    "606060, 707070, 808080, 909090, a0a0a0, b0b0b0\n"
    "id: en, index: 0\ntimestamp: 00:00:01:000, filepos: 000000000\n"
    "timestamp: 00:00:02:000, filepos: 000000800\n"
    "id: de, index: 1\ntimestamp: 00:00:01:500, filepos: 000001000\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto base = FuzzFolder() / "set";
  const bool isIndex = data[0] & 1;
  std::ofstream(base.string() + (isIndex ? ".idx" : ".sub"), std::ios::binary)
      .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  if (isIndex) {
    std::ofstream sub(base.string() + ".sub", std::ios::binary);
    sub << std::string(6144, '\0');
  } else {
    std::ofstream(base.string() + ".idx", std::ios::binary) << kIndex;
  }
  LoadVobSubFile(base.c_str());
  const int32_t languages = GetLangNum();
  for (int32_t language = 0; language <= languages && language < 64; ++language) {
    char name[256];
    GetLangName(language, name);
    SetCurrentLang(language);
    for (int32_t ms = -1000; ms < 20000; ms += 250) {
      if (!GetFrame(ms)) continue;
      uint8_t* pixels = nullptr;
      int32_t rect[4];
      GetCurrentIndex();
      GetDataPointer(&pixels, rect);
      const int64_t bytes = int64_t{rect[2] - rect[0]} * (rect[3] - rect[1]) * 4;
      volatile uint8_t sum = 0;
      for (int64_t i = 0; i < bytes; ++i) sum = static_cast<uint8_t>(sum + pixels[i]);
    }
  }
  return 0;
}
