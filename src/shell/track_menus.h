#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "command_boundary.h"
#include "movie_tracks.h"

class QAction;
class QActionGroup;
class QMenu;

namespace captivo {

class MovieControl;

// Movie > Audio Track and Subtitle > Movie Subtitles: the tracks the open movie carries.
// They are listed off the window's thread, so the first frame does not wait for them; the
// menus follow when the list arrives (a movie opened since makes an older list stale).
// The subtitle track chosen, by the preferred languages or from the menu, is handed to
// `showTrack` (null: None); the audio track chosen goes to the engine.
class TrackMenus : public QObject {
  Q_OBJECT
 public:
  // `byUser`: chosen from the menu, not by the rules as the movie opened.
  using ShowTrack = std::function<void(const MovieTrack* track, bool byUser)>;
  TrackMenus(QMenu* movieMenu, QMenu* subtitleMenu, MovieControl& movie, ShowTrack showTrack,
             const CommandRunner& run);
  ~TrackMenus() override;

  // Lists the tracks of the movie at `path`; the languages are the preferred ones, in order;
  // `companionFile`: a subtitle file was loaded for the movie, and no track is chosen;
  // `remembered`, `rememberedAudio`: the tracks remembered for the movie.
  void MovieOpened(const std::string& path, std::vector<std::string> subtitleLanguages,
                   std::vector<std::string> audioLanguages, bool companionFile,
                   std::optional<int32_t> remembered, std::optional<int32_t> rememberedAudio);
  // A subtitle file was loaded: None is checked.
  void ShowNone();

 signals:
  // The user chose the audio track of stream `index` from the menu.
  void audioChosen(int32_t index);
  // The movie's subtitle tracks were listed (none: another movie opened).
  void subtitleTracksListed(const std::vector<MovieTrack>& tracks);

 private:
  void TracksListed(uint64_t listing, const std::vector<MovieTrack>& tracks);
  void ShowSubtitleTracks(const std::vector<MovieTrack>& tracks);
  void ShowAudioTracks(const std::vector<MovieTrack>& tracks);
  void PlayAudio(int32_t number);

  MovieControl& movie_;
  ShowTrack showTrack_;
  CommandRunner run_;
  QMenu* subtitleTracks_;
  QMenu* audioTracks_;
  QActionGroup* subtitleItems_;
  QActionGroup* audioItems_;
  std::vector<std::string> subtitleLanguages_;
  std::vector<std::string> audioLanguages_;
  bool companionFile_ = false;
  std::optional<int32_t> remembered_;
  std::optional<int32_t> rememberedAudio_;
  std::vector<MovieTrack> audioList_;     // of the audio items
  std::vector<MovieTrack> subtitleList_;  // of the items after None
  QAction* none_ = nullptr;
  uint64_t latestListing_ = 0;
  std::map<uint64_t, std::thread> listings_;  // joined when their list arrives
};

}  // namespace captivo
