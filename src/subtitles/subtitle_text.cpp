#include "subtitle_text.h"

#include "text_encoding.h"
#include "utf8_text.h"

namespace captivo {

SubtitleText SubtitleText::FromFile(const std::string& path) {
  SubtitleText text;
  text.file_ = FileBytes::Read(path);
  text.view_ = text.file_.View();
  text.ConvertUtf16();
  return text;
}

SubtitleText SubtitleText::FromBytes(std::string_view bytes) {
  SubtitleText text;
  text.view_ = bytes;
  text.ConvertUtf16();
  return text;
}

void SubtitleText::ConvertUtf16() {
  if (view_.size() < 2) return;  // too short for a mark
  const bool littleEndian = view_[0] == '\xFF' && view_[1] == '\xFE';
  const bool bigEndian = view_[0] == '\xFE' && view_[1] == '\xFF';
  if (!littleEndian && !bigEndian) return;
  converted_ = Utf16ToUtf8(view_.substr(2), bigEndian);
  utf16_ = bigEndian ? "utf-16be" : "utf-16le";
  file_ = FileBytes();
  view_ = {};
}

std::string SubtitleText::Encoding() const {
  return utf16_ ? utf16_ : TextEncodingOf(view_);
}

void SubtitleText::Release() {
  file_ = FileBytes();
  view_ = {};
  converted_.reset();
}

}  // namespace captivo
