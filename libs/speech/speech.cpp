// The library's functions, as the program calls them.
#include "speech.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "activity_reader.h"
#include "voice_band_detector.h"

namespace {

int32_t StatusOf(speech::ReadStatus status) {
  switch (status) {
    case speech::ReadStatus::Read:
      return SPEECH_READ;
    case speech::ReadStatus::CannotOpen:
      return SPEECH_CANNOT_OPEN;
    case speech::ReadStatus::NoSound:
      return SPEECH_NO_SOUND;
    case speech::ReadStatus::UnreadableSound:
      return SPEECH_UNREADABLE;
    case speech::ReadStatus::Cancelled:
      return SPEECH_CANCELLED;
  }
  return SPEECH_UNREADABLE;
}

SpeechMovie MovieOf(const speech::MovieFacts& facts) {
  return {facts.durationMs, facts.frameRate};
}

}  // namespace

extern "C" {

int32_t ReadMovieFacts(const char* moviePath, SpeechMovie* movie) try {
  *movie = {};
  speech::AudioTrack audio;
  const speech::OpenResult opened = audio.Open(moviePath ? moviePath : "", -1);
  if (opened == speech::OpenResult::CannotOpen) return SPEECH_CANNOT_OPEN;
  *movie = MovieOf(audio.Facts());
  return SPEECH_READ;
} catch (const std::bad_alloc&) {
  return SPEECH_NO_MEMORY;
}

int32_t ReadSpeech(const char* moviePath, int32_t audioTrack, SpeechProgress progress,
                   void* context, SpeechActivity* activity) try {
  *activity = {};
  speech::Activity read = speech::ReadActivity(
      moviePath ? moviePath : "", audioTrack,
      [] { return std::make_unique<speech::VoiceBandDetector>(); },
      [&](double share) { return !progress || progress(context, int32_t(share * 1000)) == 0; });
  activity->movie = MovieOf(read.facts);
  if (read.status != speech::ReadStatus::Read) return StatusOf(read.status);
  activity->levels = new uint8_t[std::max<size_t>(1, read.levels.size())];
  std::memcpy(activity->levels, read.levels.data(), read.levels.size());
  activity->count = int64_t(read.levels.size());
  return SPEECH_READ;
} catch (const std::bad_alloc&) {
  return SPEECH_NO_MEMORY;
}

void FreeSpeech(SpeechActivity* activity) {
  if (!activity) return;
  delete[] activity->levels;
  *activity = {};
}

}  // extern "C"
