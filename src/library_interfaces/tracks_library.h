#pragma once

// The tracks library is loaded when first called, not when the program starts: it brings
// FFmpeg's libraries with it, which a start without a movie's tracks does not need. Its
// functions (tracks.h) load it on their first call, from any thread; should the load
// fail, the movie has no tracks and no reader reads (OpenTrackList and OpenTrackReader
// give NULL).
namespace captivo {

// Loads the library now, waiting for a load under way on another thread; false when it
// cannot be loaded.
bool LoadTracksLibrary();

}  // namespace captivo
