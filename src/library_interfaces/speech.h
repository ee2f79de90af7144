#pragma once

// The speech library: reads a movie's sound and tells where in it speech is, one level
// for each SPEECH_FRAME_MS of the movie from its start, for laying subtitles on the
// speech. The reading decodes the whole sound, on threads of the library's own: call it
// from a worker thread, never from the window's.
#include <stdint.h>

extern "C" {

#define SPEECH_FRAME_MS 10

enum SpeechStatus {
  SPEECH_READ = 0,
  SPEECH_CANNOT_OPEN = 1,  // not a file the library can read as a movie
  SPEECH_NO_SOUND = 2,     // no audio track, or not the one asked for
  SPEECH_UNREADABLE = 3,   // the sound cannot be decoded
  SPEECH_CANCELLED = 4,    // the progress function asked to stop
  SPEECH_NO_MEMORY = 5,
};

// What the file tells of the movie.
typedef struct SpeechMovie {
  int64_t durationMs;  // 0 when the file does not tell
  double frameRate;    // of the picture; 0 without one
} SpeechMovie;

typedef struct SpeechActivity {
  uint8_t* levels;  // one a frame: 0 (no speech) to 255 (speech surely)
  int64_t count;
  SpeechMovie movie;
} SpeechActivity;

// Called about ten times a second on the thread that called ReadSpeech, with the share of
// the sound read so far in thousandths; a return other than 0 stops the reading.
typedef int32_t (*SpeechProgress)(void* context, int32_t permille);

// Reads the movie's facts without its sound; SPEECH_READ or SPEECH_CANNOT_OPEN.
int32_t ReadMovieFacts(const char* moviePath, SpeechMovie* movie);

// Reads the speech of the movie's `audioTrack` (0 its first audio track, 1 the second, ...;
// -1 the one a player takes: the first marked as default, else the first). `activity`
// gets the movie's facts whenever the file opens, and the levels on SPEECH_READ alone;
// give it to FreeSpeech afterwards in every case. Blocks until done or stopped.
int32_t ReadSpeech(const char* moviePath, int32_t audioTrack, SpeechProgress progress,
                   void* context, SpeechActivity* activity);
void FreeSpeech(SpeechActivity* activity);

}  // extern "C"
