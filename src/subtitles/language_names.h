#pragma once

#include <string>
#include <string_view>

namespace captivo {

// Language codes as movies and subtitle sets carry them: ISO 639-1 ("en"), ISO 639-2 in
// either form ("eng"; "fre" and "fra"), or a tag whose first part is one of those
// ("en-US", "pt_BR"). Letters in either case.

// The English name of the code's language ("fre" gives "French"); an unknown code gives
// the code itself.
std::string LanguageName(std::string_view code);

// One spelling per language, for comparing codes: its two-letter code where it has one
// ("fre", "fra" and "fr-CA" give "fr"), else its three-letter code; an unknown code in
// lower case.
std::string LanguageKey(std::string_view code);

// True for an empty code and for those that name no language: undetermined ("und"), no
// linguistic content ("zxx"), uncoded ("mis").
bool NamesNoLanguage(std::string_view code);

// The language key of a locale name such as "fr_CA.UTF-8" ("fr"); empty for "C", "POSIX"
// and an empty name.
std::string LocaleLanguage(std::string_view locale);

}  // namespace captivo
