#pragma once

#include <QColor>
#include <QFont>

namespace captivo {

inline constexpr int kWesternCodePage = 1252;  // the script a font starts with

// The look both subtitle labels share: face, size, style and effects, colour, and the
// script whose code page turns 8-bit subtitle text into characters.
struct SubtitleFont {
  QFont font;
  QColor color = Qt::white;
  int codePage = kWesternCodePage;

  // Arial, character height 19 pixels, white, Western.
  static SubtitleFont Initial();
};

}  // namespace captivo
