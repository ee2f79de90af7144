#include "track_choice.h"

#include <algorithm>

#include "language_names.h"

namespace captivo {

namespace {

bool Eligible(const MovieTrack& track, TrackKind kind) {
  return track.kind == kind && track.canShow;
}

std::optional<int32_t> ChooseTrack(TrackKind kind, const std::vector<MovieTrack>& tracks,
                                   const std::vector<std::string>& preferred,
                                   std::optional<int32_t> remembered) {
  if (remembered == kNoTrackChosen) return std::nullopt;
  if (remembered && std::any_of(tracks.begin(), tracks.end(), [&](const MovieTrack& t) {
        return t.index == *remembered && Eligible(t, kind);
      }))
    return remembered;
  // Each rule in turn, each over the preferred languages in order.
  const std::vector<bool (*)(const MovieTrack&)> rules = {
      [](const MovieTrack& t) { return t.forced; },
      [](const MovieTrack& t) { return t.isDefault; },
      [](const MovieTrack&) { return true; },
  };
  for (const auto rule : rules)
    for (const std::string& language : preferred)
      for (const MovieTrack& track : tracks)
        if (Eligible(track, kind) && rule(track) && !NamesNoLanguage(track.language) &&
            LanguageKey(track.language) == LanguageKey(language))
          return track.index;
  return std::nullopt;
}

}  // namespace

std::vector<std::string> PreferredLanguages(std::string_view setting, std::string_view locale) {
  std::vector<std::string> keys;
  for (size_t i = 0; i < setting.size();) {
    const size_t end = std::min(setting.find_first_of(", \t;", i), setting.size());
    if (end > i) {
      std::string key = LanguageKey(setting.substr(i, end - i));
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(std::move(key));
    }
    i = end + 1;
  }
  if (keys.empty()) {
    std::string key = LocaleLanguage(locale);
    if (!key.empty()) keys.push_back(std::move(key));
  }
  return keys;
}

std::optional<int32_t> ChooseSubtitleTrack(const std::vector<MovieTrack>& tracks,
                                           const std::vector<std::string>& preferred,
                                           std::optional<int32_t> remembered, bool companionFile) {
  if (companionFile) return std::nullopt;
  return ChooseTrack(TrackKind::Subtitle, tracks, preferred, remembered);
}

std::optional<int32_t> ChooseAudioTrack(const std::vector<MovieTrack>& tracks,
                                        const std::vector<std::string>& preferred,
                                        std::optional<int32_t> remembered) {
  return ChooseTrack(TrackKind::Audio, tracks, preferred, remembered);
}

}  // namespace captivo
