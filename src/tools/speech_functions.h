#pragma once

#include <optional>
#include <string>

#include "speech.h"

namespace captivo {

// The speech library's functions, loaded when a command needs them: the other commands
// do not bring FFmpeg along, and run in a small address space.
struct SpeechFunctions {
  decltype(&::ReadMovieFacts) ReadMovieFacts = nullptr;
  decltype(&::ReadSpeech) ReadSpeech = nullptr;
  decltype(&::FreeSpeech) FreeSpeech = nullptr;
};

// The build's own copy first, else the one beside the installed tool; nothing, with
// `error`, when neither loads.
std::optional<SpeechFunctions> LoadSpeechFunctions(std::string& error);

}  // namespace captivo
