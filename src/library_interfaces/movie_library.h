#pragma once

// The movie library is loaded on a thread of its own when the program starts, beside the
// toolkit's start: it brings the whole video engine with it, and the window need not
// wait for that. Its functions (movix.h) wait for the load when first called; should the
// load fail, they do nothing and PlayFile refuses every file.
namespace captivo {

void StartLoadingMovieLibrary();
// Whether the load has finished, waiting for it at most `milliseconds`.
bool MovieLibraryLoaded(int milliseconds);

}  // namespace captivo
