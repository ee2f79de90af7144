#include "speech_library.h"

#include "loaded_functions.h"
#include "speech.h"

namespace captivo {

namespace {

// Every function of the speech library (speech.h): its name, result, parameters, the
// arguments that pass them on, and its result when the library could not be loaded.
#define CAPTIVO_SPEECH_FUNCTIONS(X)                                                           \
  X(ReadMovieFacts, int32_t, (const char* moviePath, SpeechMovie* movie), (moviePath, movie), \
    SPEECH_CANNOT_OPEN)                                                                       \
  X(ReadSpeech, int32_t,                                                                      \
    (const char* moviePath, int32_t audioTrack, SpeechProgress progress, void* context,       \
     SpeechActivity* activity),                                                               \
    (moviePath, audioTrack, progress, context, activity), SPEECH_CANNOT_OPEN)                 \
  X(FreeSpeech, void, (SpeechActivity * activity), (activity), void())

// The library's functions as loaded, every one null when the load failed, and why.
struct SpeechFunctions {
  CAPTIVO_SPEECH_FUNCTIONS(CAPTIVO_FUNCTION_FIELD)
  std::string error;
};

SpeechFunctions Load() {
  SpeechFunctions table;
  // The build's own copy first, by its path; else found through the run path (installed).
  void* library = dlopen(CAPTIVO_SPEECH_BUILT_AT, RTLD_NOW | RTLD_LOCAL);
  if (!library) library = dlopen("libspeech.so", RTLD_NOW | RTLD_LOCAL);
  const bool complete = library && true CAPTIVO_SPEECH_FUNCTIONS(CAPTIVO_FUNCTION_FIND);
  if (!complete) {
    const char* reason = dlerror();
    SpeechFunctions none;
    none.error = std::string("Cannot load the speech library: ") + (reason ? reason : "");
    return none;
  }
  return table;
}

const SpeechFunctions& Library() {
  static const SpeechFunctions functions = Load();  // once, other threads waiting
  return functions;
}

}  // namespace

bool LoadSpeechLibrary(std::string& error) {
  error = Library().error;
  return Library().ReadSpeech != nullptr;
}

}  // namespace captivo

using captivo::Library;

extern "C" {
CAPTIVO_SPEECH_FUNCTIONS(CAPTIVO_FUNCTION_CALL)
}  // extern "C"
