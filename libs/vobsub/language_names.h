#pragma once

#include <string>

namespace vobsub {

// The English name of a two-letter language code ("en" gives "English"); an unknown code
// gives the code itself.
std::string LanguageName(const std::string& code);

}  // namespace vobsub
