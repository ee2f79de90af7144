#include "speech_functions.h"

#include <dlfcn.h>

namespace captivo {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

}  // namespace

std::optional<SpeechFunctions> LoadSpeechFunctions(std::string& error) {
  void* library = dlopen(CAPTIVO_SPEECH_BUILT_AT, RTLD_NOW | RTLD_LOCAL);
  if (!library) library = dlopen("libspeech.so", RTLD_NOW | RTLD_LOCAL);
  SpeechFunctions f;
  if (!library || !Find(library, "ReadMovieFacts", f.ReadMovieFacts) ||
      !Find(library, "ReadSpeech", f.ReadSpeech) || !Find(library, "FreeSpeech", f.FreeSpeech)) {
    const char* reason = dlerror();
    error = std::string("Cannot load the speech library: ") + (reason ? reason : "");
    return std::nullopt;
  }
  return f;
}

}  // namespace captivo
