#include "fake_speech.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "speech.h"
#include "speech_library.h"

namespace captivo {

namespace test {

FakeSpeech& Speech() {
  static FakeSpeech speech;
  return speech;
}

void FakeSpeech::Reset() {
  levels.clear();
  frameRate = 25;
  status = 0;
  readingSteps = 1;
  stepMs = 0;
  reads = 0;
  readsStopped = false;
  lastPath.clear();
  lastTrack = 0;
}

}  // namespace test

bool LoadSpeechLibrary(std::string&) {
  return true;
}

}  // namespace captivo

using captivo::test::Speech;

extern "C" {

int32_t ReadMovieFacts(const char*, SpeechMovie* movie) {
  movie->durationMs = int64_t(Speech().levels.size()) * SPEECH_FRAME_MS;
  movie->frameRate = Speech().frameRate;
  return SPEECH_READ;
}

int32_t ReadSpeech(const char* moviePath, int32_t audioTrack, SpeechProgress progress,
                   void* context, SpeechActivity* activity) {
  auto& speech = Speech();
  ++speech.reads;
  speech.lastPath = moviePath;
  speech.lastTrack = audioTrack;
  ReadMovieFacts(moviePath, &activity->movie);
  for (int step = 1; step <= speech.readingSteps; ++step) {
    std::this_thread::sleep_for(std::chrono::milliseconds(speech.stepMs));
    if (progress && progress(context, step * 1000 / speech.readingSteps) != 0) {
      speech.readsStopped = true;
      return SPEECH_CANCELLED;
    }
  }
  if (speech.status != SPEECH_READ) return speech.status;
  activity->count = int64_t(speech.levels.size());
  activity->levels = static_cast<uint8_t*>(std::malloc(speech.levels.size() + 1));
  std::copy(speech.levels.begin(), speech.levels.end(), activity->levels);
  return SPEECH_READ;
}

void FreeSpeech(SpeechActivity* activity) {
  std::free(activity->levels);
  activity->levels = nullptr;
  activity->count = 0;
}

}  // extern "C"
