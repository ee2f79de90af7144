#pragma once

#include <string>

// The speech library is loaded when first called, not when the program starts: it brings
// FFmpeg's libraries with it, which only synchronizing to speech needs. Its functions
// (speech.h) load it on their first call, from any thread; should the load fail, they
// read nothing (SPEECH_CANNOT_OPEN).
namespace captivo {

// Loads the library now, waiting for a load under way on another thread; false, with the
// reason in `error`, when it cannot be loaded.
bool LoadSpeechLibrary(std::string& error);

}  // namespace captivo
