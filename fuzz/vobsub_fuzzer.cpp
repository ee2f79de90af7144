// Any bytes as a VobSub set (see vobsub_fuzz_input.h): then every language and every
// moment is asked for its picture, whose pixels must never be read out of bounds.
#include <cstdint>

#include "fuzz_folder.h"
#include "subtitle_set.h"
#include "vobsub_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string base = (FuzzFolder() / "set").string();
  if (!WriteFuzzSet(base, data, size)) return 0;
  vobsub::SubtitleSet set;
  set.Load(base);
  const int32_t languages = set.HighestLanguage();
  for (int32_t language = 0; language <= languages && language < 64; ++language) {
    set.LanguageName(language);
    set.SelectLanguage(language);
    for (int32_t ms = -1000; ms < 20000; ms += 250) {
      if (!set.Find(ms)) continue;
      uint8_t* pixels = nullptr;
      int32_t rect[4];
      set.CurrentPixels(&pixels, rect);
      const int64_t bytes = int64_t{rect[2] - rect[0]} * (rect[3] - rect[1]) * 4;
      volatile uint8_t sum = 0;
      for (int64_t i = 0; i < bytes; ++i) sum = static_cast<uint8_t>(sum + pixels[i]);
    }
  }
  return 0;
}
