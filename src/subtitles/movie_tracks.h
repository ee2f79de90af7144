#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace captivo {

enum class TrackKind { Video, Audio, Subtitle };

// One track of a movie as its file describes it.
struct MovieTrack {
  int32_t index = 0;  // the stream's index in the file
  TrackKind kind = TrackKind::Subtitle;
  std::string codec;     // FFmpeg's name of its codec: "subrip", "ac3", "hdmv_pgs_subtitle"
  std::string language;  // as the file gives it ("eng", "fr", "pt-BR"), or empty
  std::string title;
  bool isDefault = false;
  bool forced = false;
  bool canShow = true;    // subtitles: whether its codec is one Captivo shows
  bool pictures = false;  // subtitles: its lines are pictures (PGS, DVD, DVB)
  int32_t channels = 0;   // audio; 0 when unknown
};

// The name people know a codec's format by ("subrip" gives "SubRip", "ac3" "AC-3");
// a codec without one gives its own name.
std::string FormatName(std::string_view codec);

// The text of a track's menu item: its language's name, its title and its format, such
// as "English – SDH (SubRip)"; for audio the channels follow the format ("French (AC-3,
// 5.1)"). A title that only repeats the language is left out, a forced track without a
// title says "Forced", a track with neither language nor title is "Track INDEX", and a
// subtitle track Captivo cannot show says so after its format.
std::string TrackItemText(const MovieTrack& track);

}  // namespace captivo
