#pragma once

#include <string>
#include <vector>

#include "tracks.h"

namespace tracks {

// The video, audio and subtitle tracks of a movie, read from its headers.
class TrackListing {
 public:
  bool Read(const std::string& path);
  const std::vector<TrackInfo>& Tracks() const { return infos_; }

 private:
  struct Texts {
    std::string codec, language, title;
  };
  std::vector<Texts> texts_;
  std::vector<TrackInfo> infos_;  // pointing into texts_
};

}  // namespace tracks
