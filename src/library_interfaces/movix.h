#pragma once

// The movie playback library: plays a movie inside a panel of the program and reports its
// frame rate, length, picture size and position. Positions and lengths are frame numbers.
#include <cstdint>

extern "C" {

// Starts the engine ahead of the first movie, so that it opens sooner. It may be called
// from any thread, once the program's LC_NUMERIC is "C", but before any other function.
void PrepareEngine(void);
// Opens `path` and plays it inside `panel` (the panel's QWidget), replacing any movie
// before. Returns 0 when it plays, non-zero when the file cannot be played.
int PlayFile(const char* path, void* panel);
// Frame rate in thousandths of a frame per second (25 fps gives 25000); 0 when unknown.
void GetFrameRate(int32_t* rate);
void GetDur(int32_t* frames);
void GetVideoWH(int32_t* width, int32_t* height);
void GetPos(int32_t* frame);
void SetPos(int32_t frame);
void PlayMovie(void);
// Toggles: pauses a playing movie, resumes a paused one.
void PauseMovie(void);
void StopMovie(void);
// Fits the picture to the panel's new size.
void SizeChange(void);
// 1 shows the picture over the whole screen (the screen where the panel's window is, in
// the platform's own full-screen state), 0 returns it to the panel.
void SetFullScreen(int32_t on);
// The window that shows the picture over the whole screen (a QWidget) while full screen
// is on, else NULL. The program may lay widgets of its own over the picture there; when
// the window closes they are handed back, hidden and without a parent.
void* GetFullScreenWindow(void);
// The sound level in percent, 0 to 100 (values beyond are taken as the nearest end). It
// holds for the movie playing and every movie opened later; called before any movie, it
// is kept until one opens.
void SetVolume(int32_t percent);
// 1 mutes the sound, 0 brings it back at the level set; kept like the level.
void SetMute(int32_t on);
// Plays the movie's audio track `number`: its place among the file's audio tracks, from 1
// (the file's order); 0 leaves the choice to the engine. Holds for the movie playing.
void SetAudioTrack(int32_t number);
// Handles the playback events the library announced with a playback-event message.
void GraphNotify(void);

}  // extern "C"
