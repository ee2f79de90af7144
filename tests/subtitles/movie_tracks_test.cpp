// Language names, the menu items of a movie's tracks, and which track plays.
#include <gtest/gtest.h>

#include "language_names.h"
#include "movie_tracks.h"
#include "track_choice.h"

namespace captivo {
namespace {

TEST(LanguageNames, EveryFormOfACodeNamesItsLanguage) {
  struct Case {
    const char* code;
    const char* name;
    const char* key;
  } cases[] = {
      {"en", "English", "en"},
      {"eng", "English", "en"},
      {"ENG", "English", "en"},
      {"fre", "French", "fr"},  // ISO 639-2 bibliographic
      {"fra", "French", "fr"},  // and terminology forms
      {"ger", "German", "de"},
      {"chi", "Chinese", "zh"},
      {"pt-BR", "Portuguese", "pt"},
      {"pt_BR", "Portuguese", "pt"},
      {"gla", "Scottish Gaelic", "gd"},
      {"haw", "Hawaiian", "haw"},  // no two-letter code
      {"xx", "xx", "xx"},          // unknown: the code itself
      {"Qq-ZZ", "Qq-ZZ", "qq"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageName(c.code), c.name) << c.code;
    EXPECT_EQ(LanguageKey(c.code), c.key) << c.code;
  }
}

TEST(LanguageNames, CodesThatNameNoLanguage) {
  for (const char* code : {"", "und", "UND", "zxx", "mis"})
    EXPECT_TRUE(NamesNoLanguage(code)) << code;
  for (const char* code : {"en", "mul", "xx"}) EXPECT_FALSE(NamesNoLanguage(code)) << code;
}

TEST(LanguageNames, LocaleLanguage) {
  EXPECT_EQ(LocaleLanguage("fr_CA.UTF-8"), "fr");
  EXPECT_EQ(LocaleLanguage("de_DE@euro"), "de");
  EXPECT_EQ(LocaleLanguage("en"), "en");
  EXPECT_EQ(LocaleLanguage("C.UTF-8"), "");
  EXPECT_EQ(LocaleLanguage("POSIX"), "");
  EXPECT_EQ(LocaleLanguage(""), "");
}

MovieTrack Subtitle(int32_t index, const char* codec, const char* language, const char* title = "",
                    bool isDefault = false, bool forced = false, bool canShow = true) {
  MovieTrack track;
  track.index = index;
  track.codec = codec;
  track.language = language;
  track.title = title;
  track.isDefault = isDefault;
  track.forced = forced;
  track.canShow = canShow;
  return track;
}

MovieTrack Audio(int32_t index, const char* codec, const char* language, const char* title,
                 int32_t channels, bool isDefault = false) {
  MovieTrack track = Subtitle(index, codec, language, title, isDefault);
  track.kind = TrackKind::Audio;
  track.channels = channels;
  return track;
}

TEST(TrackItems, LanguageThenTitleThenFormat) {
  struct Case {
    MovieTrack track;
    const char* text;
  } cases[] = {
      {Subtitle(3, "subrip", "eng", "SDH"), "English \xE2\x80\x93 SDH (SubRip)"},
      {Subtitle(4, "subrip", "fre"), "French (SubRip)"},
      {Subtitle(5, "ass", "jpn", "Signs"), "Japanese \xE2\x80\x93 Signs (ASS)"},
      {Subtitle(6, "hdmv_pgs_subtitle", "ger", "german"), "German (PGS)"},  // title repeats it
      {Subtitle(7, "dvd_subtitle", "und", "Director"), "Director (DVD)"},
      {Subtitle(8, "mov_text", ""), "Track 8 (Timed Text)"},
      {Subtitle(9, "dvb_subtitle", "en", "", false, true), "English \xE2\x80\x93 Forced (DVB)"},
      {Subtitle(10, "webvtt", "xx"), "xx (WebVTT)"},
      {Subtitle(11, "xsub", "spa", "", false, false, false), "Spanish (XSUB, cannot be shown)"},
      {Subtitle(12, "", "", "", false, false, false), "Track 12 (cannot be shown)"},
      {Audio(1, "ac3", "eng", "", 6), "English (AC-3, 5.1)"},
      {Audio(2, "aac", "fre", "Commentaire", 2), "French \xE2\x80\x93 Commentaire (AAC, stereo)"},
      {Audio(3, "pcm_s16le", "", "", 1), "Track 3 (PCM, mono)"},
      {Audio(4, "opus", "ita", "", 8), "Italian (Opus, 7.1)"},
      {Audio(5, "truehd", "eng", "", 3), "English (TrueHD, 3 channels)"},
      {Audio(6, "newcodec", "eng", "", 0), "English (newcodec)"},
  };
  for (const Case& c : cases) EXPECT_EQ(TrackItemText(c.track), c.text) << c.track.index;
}

TEST(TrackChoice, PreferredLanguagesFromTheSettingElseTheLocale) {
  using List = std::vector<std::string>;
  EXPECT_EQ(PreferredLanguages("en, fre de", "it_IT.UTF-8"), (List{"en", "fr", "de"}));
  EXPECT_EQ(PreferredLanguages("eng;en,fra", "C"), (List{"en", "fr"}));
  EXPECT_EQ(PreferredLanguages("", "it_IT.UTF-8"), (List{"it"}));
  EXPECT_EQ(PreferredLanguages(" , ", "C"), List{});
}

TEST(TrackChoice, TheRulesInTheirOrder) {
  const std::vector<MovieTrack> tracks = {
      Audio(1, "aac", "eng", "", 2, true),
      Audio(2, "aac", "fre", "", 2),
      Subtitle(3, "subrip", "eng", "", true),
      Subtitle(4, "subrip", "fre"),
      Subtitle(5, "subrip", "fre", "", true),
      Subtitle(6, "hdmv_pgs_subtitle", "fre", "", false, true),
      Subtitle(7, "subrip", "ger"),
      Subtitle(8, "xsub", "spa", "", true, true, false),
      Subtitle(9, "subrip", "spa"),
      Subtitle(10, "subrip", "und", "", true, true),
  };
  using List = std::vector<std::string>;
  struct Case {
    List preferred;
    std::optional<int32_t> remembered;
    bool companionFile;
    std::optional<int32_t> chosen;
  } cases[] = {
      {{"en"}, std::nullopt, true, std::nullopt},  // the file beside the movie wins
      {{"en"}, 4, true, std::nullopt},
      {{"en"}, 7, false, 7},                          // remembered, whatever the languages
      {{"en"}, kNoTrackChosen, false, std::nullopt},  // the user chose none
      {{"en"}, 99, false, 3},                         // a remembered track no longer there
      {{"en"}, 1, false, 3},                          // an audio track is no subtitle
      {{"en"}, 8, false, 3},                          // one that cannot be shown
      {{"fr"}, std::nullopt, false, 6},               // forced before default before the first
      {{"en", "fr"}, std::nullopt, false, 6},         // a forced track in any preferred language
      {{"de", "en"}, std::nullopt, false, 3},         // default before the first
      {{"de"}, std::nullopt, false, 7},               // the first in the language
      {{"es"}, std::nullopt, false, 9},               // the forced default one cannot be shown
      {{"it"}, std::nullopt, false, std::nullopt},
      {{}, std::nullopt, false, std::nullopt},  // untagged tracks are no language
  };
  for (const Case& c : cases) {
    std::string name;
    for (const auto& l : c.preferred) name += l + " ";
    EXPECT_EQ(ChooseSubtitleTrack(tracks, c.preferred, c.remembered, c.companionFile), c.chosen)
        << name << c.remembered.value_or(-2) << " " << c.companionFile;
  }
}

TEST(TrackChoice, AudioByTheSameRules) {
  const std::vector<MovieTrack> tracks = {
      Audio(1, "aac", "eng", "", 2, true),
      Audio(2, "aac", "fre", "", 2),
      Audio(3, "ac3", "fre", "", 6, true),
      Subtitle(4, "subrip", "ger"),
  };
  EXPECT_EQ(ChooseAudioTrack(tracks, {"fr"}, std::nullopt), 3);
  EXPECT_EQ(ChooseAudioTrack(tracks, {"de", "en"}, std::nullopt), 1);
  EXPECT_EQ(ChooseAudioTrack(tracks, {"de"}, std::nullopt), std::nullopt);  // the engine's choice
  EXPECT_EQ(ChooseAudioTrack(tracks, {"fr"}, 2), 2);
  EXPECT_EQ(ChooseAudioTrack(tracks, {"fr"}, 4), 3);
}

}  // namespace
}  // namespace captivo
