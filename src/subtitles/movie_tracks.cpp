#include "movie_tracks.h"

#include <algorithm>

#include "language_names.h"

namespace captivo {

namespace {

struct Format {
  std::string_view codec, name;
};

constexpr Format kFormats[] = {
    // Subtitles
    {"subrip", "SubRip"},
    {"srt", "SubRip"},
    {"ass", "ASS"},
    {"ssa", "SSA"},
    {"webvtt", "WebVTT"},
    {"mov_text", "Timed Text"},
    {"text", "Text"},
    {"hdmv_pgs_subtitle", "PGS"},
    {"dvd_subtitle", "DVD"},
    {"dvb_subtitle", "DVB"},
    {"dvb_teletext", "Teletext"},
    {"hdmv_text_subtitle", "HDMV Text"},
    {"eia_608", "CEA-608"},
    {"microdvd", "MicroDVD"},
    {"xsub", "XSUB"},
    // Sound
    {"aac", "AAC"},
    {"ac3", "AC-3"},
    {"eac3", "E-AC-3"},
    {"dts", "DTS"},
    {"truehd", "TrueHD"},
    {"mlp", "MLP"},
    {"mp3", "MP3"},
    {"mp2", "MP2"},
    {"opus", "Opus"},
    {"vorbis", "Vorbis"},
    {"flac", "FLAC"},
    {"alac", "ALAC"},
    {"wmav2", "WMA"},
};

std::string ChannelsText(int32_t channels) {
  switch (channels) {
    case 1:
      return "mono";
    case 2:
      return "stereo";
    case 6:
      return "5.1";
    case 8:
      return "7.1";
    default:
      return std::to_string(channels) + " channels";
  }
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

std::string FormatName(std::string_view codec) {
  for (const Format& format : kFormats)
    if (format.codec == codec) return std::string(format.name);
  if (codec.substr(0, 4) == "pcm_") return "PCM";
  return std::string(codec);
}

std::string TrackItemText(const MovieTrack& track) {
  const std::string language =
      NamesNoLanguage(track.language) ? std::string() : LanguageName(track.language);
  std::string text = language;
  std::string title = track.title;
  if (SameIgnoringCase(title, language)) title.clear();
  if (title.empty() && track.forced) title = "Forced";
  if (!title.empty()) text += (text.empty() ? "" : " \xE2\x80\x93 ") + title;
  if (text.empty()) text = "Track " + std::to_string(track.index);

  std::string details = track.codec.empty() ? std::string() : FormatName(track.codec);
  auto add = [&details](const std::string& more) {
    details += (details.empty() ? "" : ", ") + more;
  };
  if (track.kind == TrackKind::Audio && track.channels > 0) add(ChannelsText(track.channels));
  if (track.kind == TrackKind::Subtitle && !track.canShow) add("cannot be shown");
  if (!details.empty()) text += " (" + details + ")";
  return text;
}

}  // namespace captivo
