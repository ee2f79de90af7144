// Any bytes as a subtitle file: detection, UTF-16 conversion and the chosen reader, then
// lookups over the store, must neither crash nor read out of bounds.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "errors.h"
#include "fuzz_folder.h"
#include "subtitle_loader.h"

namespace {

class NoMessages : public captivo::MessageSink {
 public:
  void ShowMessage(const std::string&, const std::string&, captivo::MessageIcon) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = (FuzzFolder() / "input").string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  const double rate = size ? 1 + data[0] % 60 : 25;
  captivo::SubtitleStore store;
  NoMessages sink;
  try {
    captivo::LoadTextSubtitle(path, store, sink, {FuzzFolder()});
  } catch (const captivo::ConversionError&) {
  } catch (const captivo::FileError&) {
  }
  for (int32_t p : {INT32_MIN, -1, 0, 1, 25, 1000, 100000, INT32_MAX})
    store.FindSubtitleAt(p, rate);
  for (int32_t p = 0; p < 2000; p += 3) store.FindSubtitleAt(p, rate);
  return 0;
}
