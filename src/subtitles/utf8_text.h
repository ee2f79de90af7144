#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace captivo {

// Appends the UTF-8 bytes of the code point `c`, which must be a valid one.
void AppendUtf8(std::string& out, char32_t c);

// Turns UTF-16 code units into UTF-8, keeping a high surrogate until its partner comes; an
// unpaired half becomes U+FFFD.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
  void Decode(const unsigned char* bytes, size_t units, std::string& out);
  // A high surrogate with no partner after it.
  void Finish(std::string& out);

 private:
  bool bigEndian_;
  char16_t pendingHigh_ = 0;
};

// The UTF-8 text of whole UTF-16 `bytes` (a trailing odd byte is dropped).
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace captivo
