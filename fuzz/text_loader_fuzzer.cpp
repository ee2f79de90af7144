// Any bytes as a subtitle file: format and encoding detection, UTF-16 conversion and the
// chosen reader, then lookups over the store in whole seconds and in exact times, must
// neither crash nor read out of bounds. The bytes are read where they stand: no file is
// written.
#include <cstdint>
#include <string_view>

#include "errors.h"
#include "subtitle_loader.h"
#include "subtitle_text.h"

namespace {

class NoMessages : public captivo::MessageSink {
 public:
  void ShowMessage(const std::string&, const std::string&, captivo::MessageIcon) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const double rate = size ? 1 + data[0] % 60 : 25;
  captivo::SubtitleStore store;
  NoMessages sink;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  captivo::SubtitleText::FromBytes(bytes).Encoding();
  try {
    captivo::LoadTextSubtitleBytes(bytes, store, sink);
  } catch (const captivo::ConversionError&) {
  }
  for (const bool exact : {false, true}) {
    store.SetExactTimes(exact);
    for (int32_t p : {INT32_MIN, -1, 0, 1, 25, 1000, 100000, INT32_MAX})
      store.FindSubtitleAt(p, rate);
    for (int32_t p = 0; p < 2000; p += 3) store.FindSubtitleAt(p, rate);
    store.NextLineAfter(100, rate);
    store.LineStartedAt(100, rate);
  }
  return 0;
}
