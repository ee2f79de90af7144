#include "track_menus.h"

#include <QActionGroup>
#include <QMenu>
#include <algorithm>
#include <iterator>
#include <optional>

#include "movie_control.h"
#include "track_choice.h"
#include "tracks.h"

namespace captivo {

namespace {

// A movie may carry thousands of tracks: a menu lists this many and says how many more
// there are, so that it still fits the screen.
constexpr int kMostItems = 100;

MovieTrack FromInfo(const TrackInfo& info) {
  MovieTrack track;
  track.index = info.index;
  track.kind = info.kind == kTrackVideo   ? TrackKind::Video
               : info.kind == kTrackAudio ? TrackKind::Audio
                                          : TrackKind::Subtitle;
  track.codec = info.codec ? info.codec : "";
  track.language = info.language ? info.language : "";
  track.title = info.title ? info.title : "";
  track.isDefault = (info.flags & kTrackDefault) != 0;
  track.forced = (info.flags & kTrackForced) != 0;
  track.canShow = info.kind != kTrackSubtitle || info.content != kTrackCannotShow;
  track.pictures = info.kind == kTrackSubtitle && info.content == kTrackBitmap;
  track.channels = info.channels;
  return track;
}

// The movie's tracks; none when it cannot be listed. Runs off the window's thread.
std::vector<MovieTrack> ListTracks(const std::string& path) {
  std::vector<MovieTrack> tracks;
  TrackList* list = OpenTrackList(path.c_str());
  if (!list) return tracks;
  for (int32_t i = 0; i < TrackCount(list); ++i) tracks.push_back(FromInfo(*TrackAt(list, i)));
  CloseTrackList(list);
  return tracks;
}

std::vector<MovieTrack> OfKind(const std::vector<MovieTrack>& tracks, TrackKind kind) {
  std::vector<MovieTrack> found;
  std::copy_if(tracks.begin(), tracks.end(), std::back_inserter(found),
               [kind](const MovieTrack& track) { return track.kind == kind; });
  return found;
}

// Empties `menu` and its group, then lists up to kMostItems of `tracks` as exclusive
// items, each holding its place among `tracks` (from 1); returns the items made.
std::vector<QAction*> ListItems(QMenu* menu, QActionGroup* group,
                                const std::vector<MovieTrack>& tracks) {
  std::vector<QAction*> items;
  const int listed = std::min<int>(static_cast<int>(tracks.size()), kMostItems);
  for (int i = 0; i < listed; ++i) {
    QAction* item = menu->addAction(QString::fromStdString(TrackItemText(tracks[i])));
    item->setCheckable(true);
    item->setData(i + 1);
    group->addAction(item);
    items.push_back(item);
  }
  if (listed < static_cast<int>(tracks.size())) {
    menu->addAction(QString("%1 more tracks").arg(tracks.size() - listed))->setEnabled(false);
  }
  menu->setEnabled(!tracks.empty());
  return items;
}

void Empty(QMenu* menu, QActionGroup* group) {
  for (QAction* item : group->actions()) group->removeAction(item);
  menu->clear();
}

}  // namespace

TrackMenus::TrackMenus(QMenu* movieMenu, QMenu* subtitleMenu, MovieControl& movie,
                       ShowTrack showTrack, const CommandRunner& run)
    : QObject(),
      movie_(movie),
      showTrack_(std::move(showTrack)),
      run_(run),
      subtitleTracks_(subtitleMenu->addMenu("Movie Subtitles")),
      audioTracks_(movieMenu->addMenu("Audio Track")),
      subtitleItems_(new QActionGroup(this)),
      audioItems_(new QActionGroup(this)) {
  subtitleTracks_->setObjectName("MovieSubtitles1");
  audioTracks_->setObjectName("AudioTrack1");
  subtitleTracks_->setEnabled(false);
  audioTracks_->setEnabled(false);
  connect(audioItems_, &QActionGroup::triggered, this, [this](QAction* item) {
    run_([this, item] {
      const int number = item->data().toInt();
      PlayAudio(number);
      emit audioChosen(audioList_[number - 1].index);
    });
  });
  connect(subtitleItems_, &QActionGroup::triggered, this, [this](QAction* item) {
    const int place = item->data().toInt();  // 0: None
    run_([this, place] {
      showTrack_(place == 0 ? nullptr : &subtitleList_[place - 1], /*byUser=*/true);
    });
  });
}

TrackMenus::~TrackMenus() {
  // A list still coming is waited for: its thread posts to this object.
  for (auto& [listing, thread] : listings_) thread.join();
}

void TrackMenus::MovieOpened(const std::string& path, std::vector<std::string> subtitleLanguages,
                             std::vector<std::string> audioLanguages, bool companionFile,
                             std::optional<int32_t> remembered,
                             std::optional<int32_t> rememberedAudio) {
  remembered_ = remembered;
  rememberedAudio_ = rememberedAudio;
  subtitleLanguages_ = std::move(subtitleLanguages);
  audioLanguages_ = std::move(audioLanguages);
  companionFile_ = companionFile;
  const uint64_t listing = ++latestListing_;
  TracksListed(listing, {});  // the last movie's tracks go at once
  listings_.emplace(listing, std::thread([this, path, listing] {
                      std::vector<MovieTrack> tracks = ListTracks(path);
                      QMetaObject::invokeMethod(
                          this,
                          [this, listing, tracks = std::move(tracks)] {
                            listings_.at(listing).join();
                            listings_.erase(listing);
                            run_([&] { TracksListed(listing, tracks); });
                          },
                          Qt::QueuedConnection);
                    }));
}

void TrackMenus::TracksListed(uint64_t listing, const std::vector<MovieTrack>& tracks) {
  if (listing != latestListing_) return;  // a movie opened since
  const std::vector<MovieTrack> subtitles = OfKind(tracks, TrackKind::Subtitle);
  emit subtitleTracksListed(subtitles);
  ShowSubtitleTracks(subtitles);
  ShowAudioTracks(OfKind(tracks, TrackKind::Audio));
}

void TrackMenus::ShowSubtitleTracks(const std::vector<MovieTrack>& tracks) {
  Empty(subtitleTracks_, subtitleItems_);
  none_ = subtitleTracks_->addAction("None");
  none_->setCheckable(true);
  none_->setChecked(true);
  none_->setData(0);
  subtitleItems_->addAction(none_);
  const std::vector<QAction*> items = ListItems(subtitleTracks_, subtitleItems_, tracks);
  subtitleList_ = tracks;
  for (size_t i = 0; i < items.size(); ++i) items[i]->setEnabled(tracks[i].canShow);
  const std::optional<int32_t> chosen =
      ChooseSubtitleTrack(tracks, subtitleLanguages_, remembered_, companionFile_);
  if (!chosen) return;
  for (size_t i = 0; i < items.size(); ++i) {
    if (tracks[i].index != *chosen) continue;
    items[i]->setChecked(true);
    showTrack_(&subtitleList_[i], /*byUser=*/false);
  }
}

void TrackMenus::ShowNone() {
  if (none_) none_->setChecked(true);
}

void TrackMenus::ShowAudioTracks(const std::vector<MovieTrack>& tracks) {
  Empty(audioTracks_, audioItems_);
  const std::vector<QAction*> items = ListItems(audioTracks_, audioItems_, tracks);
  audioList_ = tracks;
  const std::optional<int32_t> chosen = ChooseAudioTrack(tracks, audioLanguages_, rememberedAudio_);
  if (!chosen) return;
  for (size_t i = 0; i < items.size(); ++i) {
    if (tracks[i].index != *chosen) continue;
    items[i]->setChecked(true);
    PlayAudio(static_cast<int32_t>(i + 1));
  }
}

void TrackMenus::PlayAudio(int32_t number) {
  movie_.SetAudioTrack(number);
}

}  // namespace captivo
