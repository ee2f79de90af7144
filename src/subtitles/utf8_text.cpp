#include "utf8_text.h"

#include <cstddef>

namespace captivo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

size_t Utf8Size(char32_t c) {
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

char* WriteUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

bool IsHigh(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Calls `character` with each character of the text, in order.
template <typename Character>
void ForEachCharacter(std::string_view units, bool bigEndian, Character&& character) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(units.data());
  const size_t count = units.size() / 2;  // a trailing odd byte is no unit
  auto unitAt = [&](size_t i) {
    const unsigned char* p = bytes + 2 * i;
    return bigEndian ? static_cast<char16_t>(p[0] << 8 | p[1])
                     : static_cast<char16_t>(p[1] << 8 | p[0]);
  };
  for (size_t i = 0; i < count; ++i) {
    const char16_t unit = unitAt(i);
    if (IsHigh(unit) && i + 1 < count && IsLow(unitAt(i + 1))) {
      character(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (unitAt(++i) - 0xDC00));
    } else {
      character(IsHigh(unit) || IsLow(unit) ? kReplacement : char32_t{unit});
    }
  }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, WriteUtf8(bytes, c));
}

std::string Utf16ToUtf8(std::string_view units, bool bigEndian) {
  size_t size = 0;
  ForEachCharacter(units, bigEndian, [&](char32_t c) { size += Utf8Size(c); });
  std::string text(size, '\0');
  char* out = text.data();
  ForEachCharacter(units, bigEndian, [&](char32_t c) { out = WriteUtf8(out, c); });
  return text;
}

}  // namespace captivo
