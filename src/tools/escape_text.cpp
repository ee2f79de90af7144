#include "escape_text.h"

namespace captivo {

namespace {

// Hands the escaped text to `put(std::string_view)` in pieces of a few kilobytes.
template <typename Put>
void Escape(std::string_view text, Put&& put) {
  static constexpr char kHex[] = "0123456789abcdef";
  char piece[4096];
  size_t used = 0;
  for (char c : text) {
    if (used > sizeof piece - 4) {
      put(std::string_view(piece, used));
      used = 0;
    }
    const auto byte = static_cast<unsigned char>(c);
    const char escaped = c == '\\' ? '\\' : c == '\r' ? 'r' : c == '\n' ? 'n' : c == '\t' ? 't' : 0;
    if (escaped) {
      piece[used++] = '\\';
      piece[used++] = escaped;
    } else if (byte < 32 || byte >= 127) {
      piece[used++] = '\\';
      piece[used++] = 'x';
      piece[used++] = kHex[byte >> 4];
      piece[used++] = kHex[byte & 15];
    } else {
      piece[used++] = c;
    }
  }
  put(std::string_view(piece, used));
}

}  // namespace

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  Escape(text, [&out](std::string_view piece) { out += piece; });
  return out;
}

void PrintEscaped(std::FILE* stream, std::string_view text) {
  Escape(text,
         [stream](std::string_view piece) { std::fwrite(piece.data(), 1, piece.size(), stream); });
}

}  // namespace captivo
