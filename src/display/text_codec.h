#pragma once

#include <QString>
#include <string_view>

namespace captivo {

// The Windows code page of each script the font dialog offers, 1252 (Western) first.
struct Script {
  const char* name;
  int codePage;
};
extern const Script kScripts[14];

// Subtitle text is bytes: valid UTF-8 is shown as such; anything else is decoded with the
// encoding `detected` in the file (an ICU name) while the font's script is the Western one
// it starts with, else with the code page of the chosen script (Latin-1 where the system
// lacks the encoding).
QString DecodeSubtitleText(std::string_view bytes, int codePage, const QByteArray& detected = {});

}  // namespace captivo
