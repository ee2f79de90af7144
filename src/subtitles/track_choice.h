#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "movie_tracks.h"

namespace captivo {

// What was remembered for a movie: a track's index, or that the user chose none.
constexpr int32_t kNoTrackChosen = -1;

// The preferred languages of a setting such as "en, fre de" (codes separated by commas or
// blanks, most preferred first) as language keys; an empty setting gives the language of
// `locale` (a locale name such as "fr_CA.UTF-8"), and nothing when that has none.
std::vector<std::string> PreferredLanguages(std::string_view setting, std::string_view locale);

// The subtitle track to show when a movie opens, or nothing:
// - a subtitle file beside the movie (`companionFile`) wins, and no track is chosen;
// - else the choice remembered for this movie (kNoTrackChosen: none), when that track is
//   still there and can be shown;
// - else, among the tracks that can be shown in a preferred language, a forced track, then
//   a default-flagged one, then the first; at each step the most preferred language first;
// - else none.
std::optional<int32_t> ChooseSubtitleTrack(const std::vector<MovieTrack>& tracks,
                                           const std::vector<std::string>& preferred,
                                           std::optional<int32_t> remembered, bool companionFile);

// The audio track to play by the same rules, without the subtitle file; nothing leaves
// the choice to the playback engine.
std::optional<int32_t> ChooseAudioTrack(const std::vector<MovieTrack>& tracks,
                                        const std::vector<std::string>& preferred,
                                        std::optional<int32_t> remembered);

}  // namespace captivo
