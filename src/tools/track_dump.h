#pragma once

#include <cstdint>
#include <string>

namespace captivo {

// Prints a movie's video, audio and subtitle tracks, a "track" line each. Gives the exit
// status: 0 when the movie was read, 1 when it could not be.
int ListTracks(const std::string& path);

// Reads subtitle track `index` of the movie whole and prints it: a text track as a text
// subtitle file's dump (in milliseconds), a bitmap track as pictures. Gives the exit
// status: 0 when the track was read, 1 when the movie or the track cannot be.
int DumpTrack(const std::string& path, int32_t index);

}  // namespace captivo
