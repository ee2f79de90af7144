#pragma once

#include <QWidget>
#include <string>

#include "subtitle_font.h"

namespace captivo {

// A subtitle text surface: opaque black, each line centred horizontally, the first line at
// the top edge, no wrapping; a line wider than the label loses equal parts on both sides.
// A second subtitle's lines, when there are any, come first, in a colour of their own.
class SubtitleLabel : public QWidget {
 public:
  explicit SubtitleLabel(QWidget* parent = nullptr);

  // The text as bytes; lines are split at CR LF, CR or LF.
  void SetText(std::string_view bytes);
  const std::string& Text() const { return bytes_; }
  // The second subtitle's text as bytes (UTF-8, else read in the font's script).
  void SetSecondText(std::string_view bytes);
  // The height the second subtitle's lines take at the top; 0 without any.
  int SecondHeight() const;
  const QStringList& Lines() const { return lines_; }

  void SetSubtitleFont(const SubtitleFont& font);
  // The legacy code page found in the subtitle file (an ICU name), or empty.
  void SetTextEncoding(const QByteArray& detected);
  const SubtitleFont& Font() const { return font_; }
  // Subtitle text read as this label reads it (the font's script, the encoding found).
  QString Read(std::string_view bytes) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Each text's lines read from its bytes, as they are now read.
  void DecodeFirst();
  void DecodeSecond();

  std::string bytes_;
  QStringList lines_;
  std::string secondBytes_;
  QStringList secondLines_;
  SubtitleFont font_;
  QByteArray detected_;
};

}  // namespace captivo
