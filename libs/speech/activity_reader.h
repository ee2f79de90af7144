#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio_track.h"
#include "detector.h"

namespace speech {

enum class ReadStatus { Read, CannotOpen, NoSound, UnreadableSound, Cancelled };

struct Activity {
  ReadStatus status = ReadStatus::CannotOpen;
  std::vector<uint8_t> levels;  // one a frame from the movie's start
  MovieFacts facts;
};

// Called on the reading thread with the share of the sound read, 0 to 1; false stops.
using ReadProgress = std::function<bool(double)>;

// Reads the speech levels of a movie's audio track (see AudioTrack::Open for `track`).
// A file whose positions can be reached directly is read in parts of fixed length on
// several threads, each part from a little before its start so that the detector has
// settled; the parts, and so the levels, do not depend on the number of processors. In
// Matroska the track's blocks are found first and read without the rest (MatroskaBlocks).
// Blocks until done; `progress` is called about ten times a second on the calling thread.
Activity ReadActivity(const std::string& path, int track, const DetectorFactory& detector,
                      const ReadProgress& progress);

}  // namespace speech
