#include "utf8_text.h"

namespace captivo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void Utf16Decoder::Decode(const unsigned char* bytes, size_t units, std::string& out) {
  for (size_t i = 0; i < units; ++i, bytes += 2) {
    const char16_t unit = bigEndian_ ? static_cast<char16_t>(bytes[0] << 8 | bytes[1])
                                     : static_cast<char16_t>(bytes[1] << 8 | bytes[0]);
    if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHigh_) {
      AppendUtf8(out, 0x10000 + ((char32_t{pendingHigh_} - 0xD800) << 10) + (unit - 0xDC00));
      pendingHigh_ = 0;
      continue;
    }
    Finish(out);
    if (unit >= 0xD800 && unit <= 0xDBFF)
      pendingHigh_ = unit;
    else if (unit >= 0xDC00 && unit <= 0xDFFF)
      AppendUtf8(out, kReplacement);
    else
      AppendUtf8(out, unit);
  }
}

void Utf16Decoder::Finish(std::string& out) {
  if (pendingHigh_) AppendUtf8(out, kReplacement);
  pendingHigh_ = 0;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  Utf16Decoder decoder(bigEndian);
  decoder.Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size() / 2, out);
  decoder.Finish(out);
  return out;
}

}  // namespace captivo
