#pragma once

#include <QObject>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "command_boundary.h"
#include "movie_tracks.h"

class QActionGroup;
class QMenu;

namespace captivo {

class MovieControl;

// Movie > Audio Track and Subtitle > Movie Subtitles: the tracks the open movie carries.
// They are listed off the window's thread, so the first frame does not wait for them; the
// menus follow when the list arrives (a movie opened since makes an older list stale).
// The audio track chosen, by the preferred languages or from the menu, goes to the engine.
class TrackMenus : public QObject {
  Q_OBJECT
 public:
  TrackMenus(QMenu* movieMenu, QMenu* subtitleMenu, MovieControl& movie, const CommandRunner& run);
  ~TrackMenus() override;

  // Lists the tracks of the movie at `path`; `audioLanguages`: the preferred ones, in order.
  void MovieOpened(const std::string& path, std::vector<std::string> audioLanguages);

 private:
  void TracksListed(uint64_t listing, const std::vector<MovieTrack>& tracks);
  void ShowSubtitleTracks(const std::vector<MovieTrack>& tracks);
  void ShowAudioTracks(const std::vector<MovieTrack>& tracks);
  void PlayAudio(int32_t number);

  MovieControl& movie_;
  CommandRunner run_;
  QMenu* subtitleTracks_;
  QMenu* audioTracks_;
  QActionGroup* subtitleItems_;
  QActionGroup* audioItems_;
  std::vector<std::string> audioLanguages_;
  uint64_t latestListing_ = 0;
  std::map<uint64_t, std::thread> listings_;  // joined when their list arrives
};

}  // namespace captivo
