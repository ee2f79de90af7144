#include "movie_speech.h"

#include "speech_library.h"

namespace captivo {

SyncOutcome SpeechFailure(int32_t status) {
  switch (status) {
    case SPEECH_CANNOT_OPEN:
      return SyncOutcome::MovieUnreadable;
    case SPEECH_NO_SOUND:
      return SyncOutcome::NoSound;
    case SPEECH_CANCELLED:
      return SyncOutcome::Cancelled;
    default:
      return SyncOutcome::SoundUnreadable;
  }
}

MovieSpeech ReadMovieSpeech(const std::string& moviePath, int32_t audioTrack,
                            const std::function<bool(double)>& progress) {
  MovieSpeech speech;
  if (!LoadSpeechLibrary(speech.error)) {
    speech.outcome = SyncOutcome::MovieUnreadable;
    return speech;
  }
  const auto report = [](void* context, int32_t permille) -> int32_t {
    const auto& progress = *static_cast<const std::function<bool(double)>*>(context);
    return progress && !progress(permille / 1000.0) ? 1 : 0;
  };
  SpeechActivity activity{};
  const int32_t status =
      ReadSpeech(moviePath.c_str(), audioTrack, report,
                 const_cast<void*>(static_cast<const void*>(&progress)), &activity);
  speech.movie = activity.movie;
  if (status == SPEECH_READ && activity.levels)
    speech.levels.assign(activity.levels, activity.levels + activity.count);
  FreeSpeech(&activity);
  if (status != SPEECH_READ) speech.outcome = SpeechFailure(status);
  return speech;
}

}  // namespace captivo
